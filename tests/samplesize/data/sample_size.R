# Reference values for computeSampleSize (tests/samplesize/sample_size_test.cpp). Run once:
#   Rscript sample_size.R > sample_size.txt
# Each row is one case as the panel's boxes hold it, then every result text. The t-tests'
# powers come from power.t.test(strict = TRUE) (equal groups) or pt with both tails (unequal
# groups), the analysis of variance's from pwr::pwr.anova.test, the other designs from their
# normal formulas. The least whole n reaching the power is searched here too (doubling, then
# bisection) and checked against its neighbour. "_" is an empty text.
# R's qf takes qchisq/ν1 once ν2 > 4·10⁵ where the program keeps the exact F quantile, so the
# analysis of variance's cases stay below that; pt's approximation beyond ν = 4·10⁵ agrees with
# the exact noncentral t to the digits shown in the t-test cases here.
suppressPackageStartupMessages(library(pwr))
options(digits = 15, warn = 2)

half_away <- function(x, d) {
  v <- as.numeric(sprintf("%.15g", x))
  a <- abs(v) * 10^d
  r <- floor(a) + ((a - floor(a)) >= 0.5 - 1e-6)
  sprintf(paste0("%.", d, "f"), sign(v) * r / 10^d)
}
ceilw <- function(x) { if (!is.finite(x)) return(x); r <- round(x); if (abs(x - r) <= 1e-9) r else ceiling(x) }
ntext <- function(n) if (n > 1e9) "> 10⁹" else sprintf("%.0f", n)
least <- function(design) if (design == 5) 4 else 2

za <- function(c) qnorm(if (c$sides == "two" && !(c$design %in% c(4, 7))) 1 - c$alpha / 2 else 1 - c$alpha)
second <- function(c, n1) if (c$design %in% c(0, 2, 6)) max(2, ceilw(c$ratio * n1)) else n1

power_at <- function(c, n1) {
  n2 <- second(c, n1)
  two <- c$sides == "two"
  alt <- if (two) "two.sided" else "one.sided"
  switch(as.character(c$design),
    "0" = {
      if (n1 == n2) {
        power.t.test(n = n1, delta = abs(c$delta), sd = c$sd, sig.level = c$alpha,
                     type = "two.sample", alternative = alt, strict = TRUE)$power
      } else {
        df <- n1 + n2 - 2
        ncp <- abs(c$delta) / (c$sd * sqrt(1 / n1 + 1 / n2))
        crit <- qt(if (two) 1 - c$alpha / 2 else 1 - c$alpha, df)
        pt(crit, df, ncp, lower.tail = FALSE) + if (two) pt(-crit, df, ncp) else 0
      }
    },
    "1" = power.t.test(n = n1, delta = abs(c$delta), sd = c$sd, sig.level = c$alpha,
                       type = "paired", alternative = alt, strict = TRUE)$power,
    "4" = pwr.anova.test(k = c$k, n = n1, f = c$f, sig.level = c$alpha)$power,
    "2" = {
      r <- n2 / n1
      pbar <- (c$p1 + r * c$p2) / (1 + r)
      pnorm((abs(c$p1 - c$p2) * sqrt(n1) - za(c) * sqrt((1 + 1 / r) * pbar * (1 - pbar))) /
              sqrt(c$p1 * (1 - c$p1) + c$p2 * (1 - c$p2) / r))
    },
    "3" = {
      psi <- c$p10 + c$p01; d <- c$p10 - c$p01
      pnorm((abs(d) * sqrt(n1) - za(c) * sqrt(psi)) / sqrt(psi - d^2))
    },
    "5" = pnorm(0.5 * log((1 + abs(c$rho)) / (1 - abs(c$rho))) * sqrt(n1 - 3) - za(c)),
    "6" = {
      e <- c$event * (n1 + n2)
      pnorm(abs(log(c$hr)) * sqrt(e * n1 * n2) / (n1 + n2) - za(c))
    })
}

# The least whole n in [least, 10⁹ (or 10⁹/r)] whose power reaches the target; Inf beyond.
search_n <- function(c) {
  lo <- least(c$design)
  cap <- if (c$design == 0) 1e9 / min(c$ratio, 1) else 1e9
  if (power_at(c, lo) >= c$power) return(lo)
  hi <- lo
  repeat {
    hi <- min(cap, hi * 2)
    if (power_at(c, hi) >= c$power) break
    if (hi >= cap) return(Inf)
    lo <- hi
  }
  while (hi - lo > 1) {
    mid <- floor((lo + hi) / 2)
    if (power_at(c, mid) >= c$power) hi <- mid else lo <- mid
  }
  stopifnot(power_at(c, hi) >= c$power, hi == least(c$design) || power_at(c, hi - 1) < c$power)
  hi
}

sq <- function(root) if (root > 0) root^2 else 0

formula_n <- function(c) {
  zb <- qnorm(c$power)
  switch(as.character(c$design),
    "2" = {
      r <- c$ratio
      pbar <- (c$p1 + r * c$p2) / (1 + r)
      sq(za(c) * sqrt((1 + 1 / r) * pbar * (1 - pbar)) +
           zb * sqrt(c$p1 * (1 - c$p1) + c$p2 * (1 - c$p2) / r)) / (c$p1 - c$p2)^2
    },
    "3" = {
      psi <- c$p10 + c$p01; d <- c$p10 - c$p01
      sq(za(c) * sqrt(psi) + zb * sqrt(psi - d^2)) / d^2
    },
    "5" = sq(za(c) + zb) / (0.5 * log((1 + abs(c$rho)) / (1 - abs(c$rho))))^2 + 3,
    "6" = ceilw(sq(za(c) + zb) * (1 + c$ratio)^2 / (c$ratio * log(c$hr)^2)) /
      (c$event * (1 + c$ratio)),
    "7" = qnorm(1 - c$alpha / 2)^2 * c$prop * (1 - c$prop) / c$hw^2)
}

inputs <- c("design", "delta", "sd", "p1", "p2", "p10", "p01", "k", "f", "rho", "hr", "event",
            "p", "hw", "alpha", "sides", "power", "ratio", "dropout", "solve", "n")
outputs <- c("n1", "n2", "total", "n1d", "n2d", "totald", "events", "achieved", "powerout",
             "n1cc", "n2cc")
cat("#", "name", inputs, outputs, sep = "\t"); cat("\n")

emit <- function(name, design, ..., alpha = 0.05, sides = "two", power = 0.8, ratio = 1,
                 dropout = 0, n = NA) {
  c <- list(design = design, alpha = alpha, sides = sides, power = power, ratio = ratio,
            dropout = dropout, ...)
  solve <- if (is.na(n)) "n" else "power"
  two <- design %in% c(0, 2, 6)
  out <- setNames(rep("_", length(outputs)), outputs)
  if (solve == "n") {
    n1 <- if (design %in% c(0, 1, 4)) search_n(c) else max(least(design), ceilw(formula_n(c)))
  } else {
    n1 <- n
  }
  n2 <- if (is.finite(n1)) second(c, n1) else Inf
  k <- if (design == 4) c$k else 1
  total <- if (two) n1 + n2 else k * n1
  d <- dropout / 100
  d1 <- ceilw(n1 / (1 - d)); d2 <- ceilw(n2 / (1 - d))
  out[c("n1", "total", "n1d", "totald")] <- c(ntext(n1), ntext(total), ntext(d1),
                                              ntext(if (two) d1 + d2 else k * d1))
  if (two) out[c("n2", "n2d")] <- c(ntext(n2), ntext(d2))
  if (solve == "n" && design == 6)
    out["events"] <- ntext(ceilw(sq(za(c) + qnorm(power)) * (1 + ratio)^2 /
                                   (ratio * log(c$hr)^2)))
  if (solve == "n" && design == 2) {
    raw <- formula_n(c)
    a <- 2 * (ratio + 1) / (ratio * abs(c$p1 - c$p2))
    cc <- max(2, ceilw(raw / 4 * (1 + sqrt(1 + a / raw))^2))
    out[c("n1cc", "n2cc")] <- c(ntext(cc), ntext(max(2, ceilw(ratio * cc))))
  }
  if (design != 7) {
    shown <- max(n1, if (two) n2 else 0, total) <= 1e9
    pw <- if (is.finite(n1)) power_at(c, n1) else NA
    if (shown) out["achieved"] <- half_away(pw, 4)
    if (solve == "power") out["powerout"] <- half_away(pw, 4)
  }
  txt <- function(v) if (is.null(v)) "_" else format(v, scientific = FALSE, digits = 15)
  # Exact names: `$` on a list would let p1 stand for p10.
  g <- function(nm) txt(c[[nm, exact = TRUE]])
  vals <- c(design = design, delta = g("delta"), sd = g("sd"), p1 = g("p1"), p2 = g("p2"),
            p10 = g("p10"), p01 = g("p01"), k = g("k"), f = g("f"), rho = g("rho"),
            hr = g("hr"), event = g("event"), p = g("prop"), hw = g("hw"), alpha = txt(alpha),
            sides = if (sides == "two") 0 else 1, power = txt(power), ratio = txt(ratio),
            dropout = txt(dropout), solve = if (solve == "n") 0 else 1,
            n = if (is.na(n)) "_" else txt(n))
  cat(name, vals[inputs], out, sep = "\t"); cat("\n")
}

# Two-sample means
emit("means_equal_dropout", 0, delta = 5, sd = 10, dropout = 10)
emit("means_ratio2_one_sided", 0, delta = 3, sd = 8, sides = "one", power = 0.9, ratio = 2,
     dropout = 15)
emit("means_ratio_half_alpha01", 0, delta = -1, sd = 2, alpha = 0.01, power = 0.95, ratio = 0.5)
emit("means_tiny_effect", 0, delta = 0.01, sd = 5)
emit("means_beyond_billion", 0, delta = 0.0001, sd = 10)
emit("means_huge_effect", 0, delta = 100, sd = 1)
emit("means_power_ratio", 0, delta = 5, sd = 10, ratio = 1.5, n = 50, dropout = 20)
emit("means_power_one_sided", 0, delta = 2, sd = 4, alpha = 0.1, sides = "one", n = 20)
# Paired means
emit("paired_classic", 1, delta = 5, sd = 10)
emit("paired_one_sided_dropout", 1, delta = 1.2, sd = 3.1, alpha = 0.025, sides = "one",
     power = 0.9, dropout = 20)
emit("paired_tiny_effect", 1, delta = 0.001, sd = 1)
emit("paired_huge_effect", 1, delta = 10, sd = 0.5)
emit("paired_power", 1, delta = -3, sd = 5, n = 15)
emit("paired_power_least", 1, delta = 1, sd = 2, n = 2, alpha = 0.2)
# Two proportions
emit("rates_equal", 2, p1 = 0.3, p2 = 0.15)
emit("rates_ratio2_one_sided", 2, p1 = 0.5, p2 = 0.35, sides = "one", power = 0.9, ratio = 2,
     dropout = 10)
emit("rates_tiny_difference", 2, p1 = 0.5, p2 = 0.501)
emit("rates_huge_difference", 2, p1 = 0.05, p2 = 0.95)
emit("rates_ratio_half_alpha01", 2, p1 = 0.12, p2 = 0.2, alpha = 0.01, ratio = 0.5)
emit("rates_beyond_billion", 2, p1 = 0.5, p2 = 0.50001)
emit("rates_power", 2, p1 = 0.4, p2 = 0.25, ratio = 1.5, n = 100)
# Paired proportions
emit("mcnemar_classic", 3, p10 = 0.2, p01 = 0.05)
emit("mcnemar_one_sided", 3, p10 = 0.1, p01 = 0.25, sides = "one", power = 0.9)
emit("mcnemar_tiny", 3, p10 = 0.1, p01 = 0.101)
emit("mcnemar_huge", 3, p10 = 0.9, p01 = 0.05)
emit("mcnemar_alpha01_dropout", 3, p10 = 0.3, p01 = 0.15, alpha = 0.01, dropout = 5)
emit("mcnemar_power", 3, p10 = 0.15, p01 = 0.3, n = 60)
# Analysis of variance
emit("anova_three_groups", 4, k = 3, f = 0.25)
emit("anova_five_alpha01", 4, k = 5, f = 0.1, alpha = 0.01, power = 0.9, dropout = 12.5)
emit("anova_two_groups", 4, k = 2, f = 0.4)
emit("anova_huge_effect", 4, k = 10, f = 1.5)
emit("anova_tiny_effect", 4, k = 4, f = 0.01)
emit("anova_power", 4, k = 4, f = 0.3, n = 20)
# Correlation
emit("correlation_classic", 5, rho = 0.3)
emit("correlation_negative_one_sided", 5, rho = -0.5, sides = "one", power = 0.9)
emit("correlation_tiny", 5, rho = 0.001)
emit("correlation_huge", 5, rho = 0.99)
emit("correlation_alpha01_dropout", 5, rho = 0.2, alpha = 0.01, dropout = 20)
emit("correlation_power", 5, rho = 0.35, n = 50)
# Log-rank
emit("logrank_classic", 6, hr = 0.7, event = 0.6)
emit("logrank_ratio2_one_sided", 6, hr = 1.5, event = 0.3, sides = "one", power = 0.9,
     ratio = 2)
emit("logrank_tiny", 6, hr = 1.001, event = 0.5)
emit("logrank_huge", 6, hr = 0.01, event = 1)
emit("logrank_ratio_half_alpha01", 6, hr = 0.8, event = 0.45, alpha = 0.01, ratio = 0.5,
     dropout = 10)
emit("logrank_power", 6, hr = 0.6, event = 0.5, ratio = 1.2, n = 100)
# One proportion's interval
emit("onerate_classic", 7, prop = 0.3, hw = 0.05)
emit("onerate_alpha01", 7, prop = 0.5, hw = 0.1, alpha = 0.01)
emit("onerate_beyond_billion", 7, prop = 0.5, hw = 0.00001)
emit("onerate_wide", 7, prop = 0.5, hw = 0.49)
emit("onerate_rare_dropout", 7, prop = 0.02, hw = 0.01, dropout = 10)
emit("onerate_alpha10", 7, prop = 0.85, hw = 0.03, alpha = 0.1)
