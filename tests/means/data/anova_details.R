# Reference values for the analysis of variance's details (tests/means/anova_test.cpp,
# tests/stories/anova_details_crp.replay). Run once:
#   Rscript anova_details.R > anova_details.txt
# The panel works from the nine boxes, so every set is given by its summaries; R's functions
# need observations, so each group is built with exactly that mean and SD (a standard normal
# sample moved and scaled). The grid set (crp) is also run on its raw observations; the panel
# sees their four-decimal box values, and where the two differ the boxes decide.
options(digits = 15)
exact <- function(m, s, n, seed) {
  if (n == 1) return(m)
  set.seed(seed); z <- rnorm(n)
  m + s * (z - mean(z)) / sd(z)
}
# Adding 0 turns the -0 of a difference that is zero up to rounding into 0.
fmt4 <- function(x) sprintf("%.4f", round(x, 10) + 0)
fmtp <- function(p) if (p < 0.001) "<0.001" else sprintf("%.3f", p)
details <- function(g) {
  y <- unlist(g); f <- factor(rep(seq_along(g), lengths(g)))
  fit <- aov(y ~ f); s <- summary(fit)[[1]]
  ss <- s[["Sum Sq"]]
  out <- list()
  tk <- TukeyHSD(fit, conf.level = 0.95)$f
  # TukeyHSD gives "j-i" = mean j - mean i; the panel shows Xi - Xj.
  for (pr in c("2-1", "3-1", "3-2")) {
    r <- tk[pr, ]
    out <- c(out, fmt4(-r[["diff"]]), fmt4(-r[["upr"]]), fmt4(-r[["lwr"]]), fmtp(r[["p adj"]]))
  }
  out <- c(out, fmtp(s[["Pr(>F)"]][1]), fmt4(ss[1] / (ss[1] + ss[2])))
  if (all(lengths(g) > 1)) {
    b <- bartlett.test(y, f); w <- oneway.test(y ~ f, var.equal = FALSE)
    out <- c(out, fmt4(b$statistic), fmtp(b$p.value), fmt4(w$statistic),
             sprintf("%.2f", w$parameter[2]), fmtp(w$p.value))
  } else out <- c(out, "", "", "", "", "")
  list(values = unlist(out), F = s[["F value"]][1], df = s[["Df"]][2])
}
from_boxes <- function(m, s, n) lapply(1:3, function(i) exact(m[i], s[i], n[i], 100 + i))
show <- function(name, m, s, n, raw = NULL) {
  d <- details(from_boxes(m, s, n))
  boxes <- c(rbind(sprintf("%.4f", m), sprintf("%.4f", s), n))
  cat(name, paste(boxes, collapse = " "), "|", paste(ifelse(d$values == "", "-", d$values),
      collapse = " "), "\n")
  cat(sprintf("# %s: F %.6f on 2 and %g df\n", name, d$F, d$df))
  if (!is.null(raw)) {
    r <- details(raw)
    cat(sprintf("# %s from the raw observations: %s\n", name, paste(r$values, collapse = " ")))
  }
}
cat("# set X1 S1 N1 X2 S2 N2 X3 S3 N3 | Diff12 Low12 High12 P12 Diff13 ... P23 P Eta2",
    "BartlettChi2 BartlettP WelchF WelchDf2 WelchP (- for empty)\n")

# C-reactive protein (mg/L), controls and mild and severe infection, typed through the grid.
crp <- list(c(2.1, 3.4, 1.8, 2.9, 4.2, 2.5, 3.1, 2.7),
            c(6.8, 9.5, 4.9, 12.3, 8.1, 7.4, 10.6, 5.7, 9.0, 8.8),
            c(18.4, 35.2, 12.9, 41.7, 22.6, 28.3, 15.1, 48.9, 25.4))
show("crp", round(sapply(crp, mean), 4), round(sapply(crp, sd), 4), lengths(crp), crp)
# The same after deleting the last value of group 3 (the story's next keystroke).
crp8 <- list(crp[[1]], crp[[2]], crp[[3]][1:8])
show("crp8", round(sapply(crp8, mean), 4), round(sapply(crp8, sd), 4), lengths(crp8), crp8)
# The worked example of the panel.
show("worked", c(10, 12, 15), c(2, 2, 2), c(5, 5, 5))
# HbA1c (%) after three regimens.
show("hba1c", c(7.82, 7.45, 7.10), c(1.12, 0.98, 1.05), c(32, 35, 30))
# Length of stay (days): markedly unequal variances.
show("stay", c(5.2, 6.1, 9.8), c(0.6, 1.4, 5.3), c(14, 12, 15))
# 25 df, between the table's rows for 20 and 30: exact P below 0.05, the row for 20 says more.
show("between", c(10, 11.7, 12.4), c(2, 2, 2), c(9, 10, 9))
# Two patients a group.
show("pairs", c(4.5, 6, 8.5), c(0.7071, 1.4142, 0.7071), c(2, 2, 2))
# Equal means.
show("equal", c(20, 20, 20), c(3, 4, 3.5), c(10, 12, 11))
# Means of 10^9 with a spread of a few units.
show("huge", c(1000000010.1234, 1000000012.5678, 1000000011), c(1.5, 1.8, 1.6), c(8, 9, 10))
# One patient in group 1: no variance of its own for Bartlett or Welch.
show("single", c(14.2, 12.5, 11.8), c(2.5, 1.9, 2.2), c(1, 8, 7))
# 130 df: above 120 the table judges on its infinity row.
show("large", c(98.4, 101.2, 99.9), c(8.1, 7.6, 8.4), c(45, 44, 44))
