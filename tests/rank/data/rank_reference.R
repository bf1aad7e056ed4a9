# Reference values for the rank tests and normality checks of the four grid methods.
# Run: Rscript rank_reference.R   (writes two_sample.txt, paired.txt, anova.txt, correlation.txt)
# One case a line, tab-separated: name, the columns (values separated by spaces, NA for an empty
# cell), every displayed text in the layout's order ("-" for empty), and 1 when a Shapiro-Wilk
# P is below 0.05 (the note asks for the rank test), else 0.
# Texts follow the program's rules: four decimals rounded half away from zero from the value's
# 15 significant digits; P "<0.001" or three decimals.

fmtd <- function(v, dec = 4) vapply(v, function(x) {
  if (is.na(x) || !is.finite(x)) return("-")
  e <- sprintf("%.14e", abs(x))
  digits <- as.integer(strsplit(sub(".", "", sub("e.*", "", e), fixed = TRUE), "")[[1]])
  point <- as.integer(sub(".*e", "", e)) + 1
  keep <- point + dec
  if (keep < 0) {
    digits <- integer(0)
  } else {
    up <- keep < length(digits) && digits[keep + 1] >= 5
    digits <- c(digits, rep(0L, max(0, keep - length(digits))))[seq_len(keep)]
    i <- keep
    while (up && i >= 1) {
      if (digits[i] == 9) { digits[i] <- 0L; i <- i - 1 } else { digits[i] <- digits[i] + 1L; up <- FALSE }
    }
    if (up) digits <- c(1L, digits)
  }
  s <- paste(digits, collapse = "")
  if (nchar(s) <= dec) s <- paste0(strrep("0", dec + 1 - nchar(s)), s)
  int <- sub("^0+(?=.)", "", substr(s, 1, nchar(s) - dec), perl = TRUE)
  frac <- substr(s, nchar(s) - dec + 1, nchar(s))
  zero <- !grepl("[1-9]", s)
  paste0(if (x < 0 && !zero) "-" else "", int, if (dec > 0) paste0(".", frac) else "")
}, "")
fmtp <- function(p) if (is.na(p) || !is.finite(p)) "-" else if (p < 0.001) "<0.001" else fmtd(min(p, 1), 3)
cols <- function(v) paste(ifelse(is.na(v), "NA", as.character(v)), collapse = " ")

quart <- function(v) {
  if (length(v) == 0) return(rep("-", 3))
  q <- quantile(v, c(0.5, 0.25, 0.75), type = 2, names = FALSE)
  fmtd(q)
}
shapiro <- function(v) {
  r <- tryCatch(shapiro.test(v), error = function(e) NULL)
  if (is.null(r)) c("-", "-", NA) else c(fmtd(r$statistic), fmtp(r$p.value), r$p.value)
}
flag <- function(ps) if (any(as.numeric(ps) < 0.05, na.rm = TRUE)) "1" else "0"
ties3 <- function(v) { t <- table(v); sum(t^3 - t) }

# ---- method 0: Mann-Whitney with the Hodges-Lehmann shift ----
two_sample <- function(name, x, y) {
  n1 <- length(x); n2 <- length(y)
  out <- c(quart(x), quart(y))
  u <- z <- p <- method <- shift <- lo <- hi <- rrb <- "-"
  if (n1 > 0 && n2 > 0) {
    w <- suppressWarnings(wilcox.test(x, y))
    U <- unname(w$statistic)
    nn <- n1 + n2
    sigma <- sqrt((n1 * n2 / 12) * ((nn + 1) - ties3(c(x, y)) / (nn * (nn - 1))))
    u <- fmtd(U); rrb <- fmtd(2 * U / (n1 * n2) - 1)
    shift <- fmtd(median(outer(x, y, "-")))
    if (sigma > 1e-9) {
      zc <- U - n1 * n2 / 2
      z <- fmtd((zc - sign(zc) * 0.5) / sigma)
      p <- fmtp(w$p.value)
      exact <- grepl("exact", w$method)
      method <- if (exact) "精确" else "正态近似"
      ci <- suppressWarnings(wilcox.test(x, y, conf.int = TRUE, tol.root = 1e-10))$conf.int
      lo <- fmtd(ci[1]); hi <- fmtd(ci[2])
    }
  }
  s1 <- shapiro(x); s2 <- shapiro(y)
  out <- c(out, u, z, p, method, shift, lo, hi, rrb, s1[1:2], s2[1:2], flag(c(s1[3], s2[3])))
  cat(name, cols(x), cols(y), out, sep = "\t"); cat("\n")
}

# ---- method 1: Wilcoxon signed-rank on the differences ----
walsh_median <- function(d) { s <- outer(d, d, "+"); median(s[!lower.tri(s)] / 2) }
# The differences are formed in ticks (value x 10^4), as the program forms them exactly, so that
# equal differences tie; R's own x - y would break some ties by rounding.
paired <- function(name, x, y) {
  ok <- complete.cases(x, y); dt <- round(x[ok] * 1e4) - round(y[ok] * 1e4); d <- dt / 1e4
  out <- quart(d)
  nz <- dt[dt != 0]; n <- length(nz)
  v <- z <- p <- method <- shift <- lo <- hi <- r <- "-"
  if (n > 0) {
    notAchievable <- FALSE
    w <- withCallingHandlers(wilcox.test(dt, conf.int = TRUE, tol.root = 1e-10),
                             warning = function(w) {
                               if (grepl("not achievable", conditionMessage(w))) notAchievable <<- TRUE
                               invokeRestart("muffleWarning")
                             })
    V <- unname(w$statistic); N <- n * (n + 1) / 2
    sigma <- sqrt(n * (n + 1) * (2 * n + 1) / 24 - ties3(abs(nz)) / 48)
    zc <- V - N / 2
    v <- fmtd(V); z <- fmtd((zc - sign(zc) * 0.5) / sigma); p <- fmtp(w$p.value)
    method <- if (grepl("exact", w$method)) "精确" else "正态近似"
    s <- outer(nz, nz, "+"); walsh <- sort(s[!lower.tri(s)] / 2)
    shift <- fmtd(median(walsh) / 1e4)
    # Where R lowers the confidence level instead, the interval is the widest, k = 1.
    ci <- if (notAchievable) walsh[c(1, N)] else w$conf.int
    lo <- fmtd(ci[1] / 1e4); hi <- fmtd(ci[2] / 1e4)
    r <- fmtd((V - (N - V)) / N)
  }
  s <- shapiro(d)
  out <- c(out, v, z, p, method, shift, lo, hi, r, s[1:2], flag(s[3]))
  cat(name, cols(x), cols(y), out, sep = "\t"); cat("\n")
}

# ---- method 2: Kruskal-Wallis with Dunn's pairwise tests ----
anova <- function(name, g1, g2, g3) {
  groups <- list(g1, g2, g3)
  out <- unlist(lapply(groups, quart))
  kw <- rep("-", 4); dunn <- rep("-", 6)
  if (all(lengths(groups) > 0)) {
    all <- unlist(groups); n <- length(all)
    k <- suppressWarnings(kruskal.test(groups))
    if (is.finite(k$statistic)) {
      h <- unname(k$statistic)
      kw <- c(fmtd(h), as.character(k$parameter), fmtp(k$p.value), fmtd(h * (n + 1) / (n^2 - 1)))
      r <- rank(all); id <- rep(1:3, lengths(groups))
      mr <- tapply(r, id, mean); ni <- lengths(groups)
      v <- n * (n + 1) / 12 - ties3(all) / (12 * (n - 1))
      dunn <- c()
      for (pr in list(c(1, 2), c(1, 3), c(2, 3))) {
        zz <- (mr[pr[1]] - mr[pr[2]]) / sqrt(v * (1 / ni[pr[1]] + 1 / ni[pr[2]]))
        dunn <- c(dunn, fmtd(zz), fmtp(min(1, 3 * 2 * pnorm(-abs(zz)))))
      }
    }
  }
  sw <- lapply(groups, shapiro)
  out <- c(out, kw, dunn, unlist(lapply(sw, `[`, 1:2)), flag(sapply(sw, `[`, 3)))
  cat(name, cols(g1), cols(g2), cols(g3), out, sep = "\t"); cat("\n")
}

# ---- method 6: Spearman's rho ----
spearman <- function(name, x, y) {
  ok <- complete.cases(x, y); a <- x[ok]; b <- y[ok]; n <- length(a)
  rho <- p <- lo <- hi <- "-"
  if (n >= 2) {
    ct <- suppressWarnings(cor.test(a, b, method = "spearman"))
    r <- unname(ct$estimate)
    if (is.finite(r)) {
      rho <- fmtd(r); p <- fmtp(ct$p.value)
      if (n >= 4 && abs(r) < 1 - 1e-12) {
        se <- sqrt((1 + r^2 / 2) / (n - 3))
        lo <- fmtd(tanh(atanh(r) - qnorm(0.975) * se)); hi <- fmtd(tanh(atanh(r) + qnorm(0.975) * se))
      }
    }
  }
  sx <- shapiro(a); sy <- shapiro(b)
  out <- c(rho, p, lo, hi, sx[1:2], sy[1:2], flag(c(sx[3], sy[3])))
  cat(name, cols(x), cols(y), out, sep = "\t"); cat("\n")
}

set.seed(20261209)
sink("two_sample.txt")
two_sample("LengthOfStay", round(rlnorm(18, 1.8, 0.6)), round(rlnorm(22, 2.1, 0.55)))
two_sample("CrpSmallExact", round(rlnorm(8, 2, 0.8), 1) + c(0, 0.01, 0, 0.02, 0, 0, 0.03, 0),
           round(rlnorm(10, 2.6, 0.7), 2))
two_sample("HospitalCosts", round(rlnorm(150, 8.5, 0.9), 2), round(rlnorm(160, 8.8, 0.8), 2))
two_sample("PainScores", sample(0:10, 30, TRUE, prob = c(1, 2, 3, 5, 6, 5, 4, 3, 2, 1, 1)),
           sample(0:10, 35, TRUE, prob = c(3, 5, 6, 5, 4, 3, 2, 1, 1, 1, 1)))
two_sample("BelowDetection", pmax(0, round(rnorm(25, 0.4, 0.6), 2)), pmax(0, round(rnorm(20, 0.9, 0.7), 2)))
two_sample("ThreeAgainstFour", c(12.5, 14.1, 9.8), c(15.2, 16.9, 13.3, 18.4))
two_sample("ExactAtFortyNine", round(rgamma(49, 2, 0.5), 3) + (1:49) * 1e-3,
           round(rgamma(49, 2.6, 0.5), 3) + (1:49) * 1e-3 + 0.0005)
two_sample("FiftyAgainstTen", round(rnorm(50, 100, 15), 3) + (1:50) * 1e-3, round(rnorm(10, 110, 15), 1) + 0.0005)
two_sample("AllEqual", rep(5, 6), rep(5, 4))
two_sample("OneEach", 3.2, 4.1)
two_sample("SecondEmpty", c(1.5, 2.5, 4), numeric(0))
sink()

sink("paired.txt")
b <- round(rnorm(20, 150, 14)); paired("SystolicPressure", b, b - round(rnorm(20, 6, 7)))
b <- round(rnorm(12, 8.1, 1.1), 2); paired("HbA1cExact", b, round(b - rnorm(12, 0.5, 0.4), 2) + (1:12) * 1e-3)
b <- sample(2:9, 40, TRUE); paired("PainScores", b, pmax(0, b - sample(-1:3, 40, TRUE)))
b <- round(rlnorm(300, 3, 0.4), 2); paired("CreatinineLarge", b, round(b * exp(rnorm(300, -0.05, 0.1)), 2))
b <- round(runif(9, 1, 9), 1); paired("AllZero", b, b)
paired("FivePairs", c(142, 151, 138, 160, 155), c(135, 149, 140, 148, 146))
b <- round(rlnorm(49, 1, 0.7), 3) + (1:49) * 1e-3; paired("ExactAtFortyNine", b, round(b * 0.85, 3) + 0.0005)
b <- round(rnorm(16, 72, 9)); a <- b - round(rnorm(16, 3, 4)); b[c(3, 9)] <- NA; a[12] <- NA
paired("HeartRateGaps", b, a)
sink()

sink("anova.txt")
anova("LengthOfStayWards", round(rlnorm(20, 1.7, 0.6)), round(rlnorm(18, 2, 0.6)), round(rlnorm(22, 2.2, 0.5)))
anova("BiomarkerSmall", round(rlnorm(5, 1, 0.5), 2), round(rlnorm(6, 1.4, 0.5), 2), round(rlnorm(7, 1.1, 0.5), 2))
anova("SatisfactionScores", sample(1:5, 30, TRUE), sample(1:5, 28, TRUE, prob = 5:1), sample(1:5, 25, TRUE, prob = 1:5))
anova("TriglyceridesLarge", round(rlnorm(120, 0.4, 0.5), 2), round(rlnorm(110, 0.5, 0.5), 2), round(rlnorm(100, 0.3, 0.45), 2))
anova("OneGroupConstant", rep(2, 5), c(1.2, 3.4, 2.2, 5.1), c(4.4, 6.1, 5.5, 7.3, 3.9))
anova("AllEqual", rep(7, 3), rep(7, 4), rep(7, 2))
anova("ThirdEmpty", c(3.1, 2.4, 5.6), c(6.2, 4.8), numeric(0))
anova("ZerosAndTies", pmax(0, round(rnorm(15, 0.3, 0.5), 1)), pmax(0, round(rnorm(15, 0.6, 0.5), 1)),
      pmax(0, round(rnorm(15, 1, 0.6), 1)))
sink()

sink("correlation.txt")
x <- round(rnorm(7, 50, 10), 1); spearman("SevenPairsExact", x, round(0.5 * x + rnorm(7, 0, 5), 1))
x <- round(rnorm(10, 120, 15), 1); spearman("TenPairsEdgeworth", x, round(-0.3 * x + rnorm(10, 0, 6), 1))
x <- round(rlnorm(25, 2, 0.7), 2); spearman("BiomarkerAge", x, round(30 + 3 * log(x) + rnorm(25, 0, 2), 2))
spearman("ScoresWithTies", sample(0:10, 30, TRUE), sample(0:10, 30, TRUE))
x <- round(rlnorm(300, 1, 0.5), 3) + (1:300) * 1e-4
spearman("LargeNoTies", x, round(x + rnorm(300, 0, 2), 3) + (1:300) * 1e-4 + 0.00005)
spearman("Monotone", c(1, 2, 3, 4, 5, 6), c(2.1, 3.5, 3.9, 8, 12.2, 30))
spearman("ThreePairs", c(1.2, 2.4, 3.1), c(5.5, 4.1, 6.3))
spearman("ConstantY", c(1, 2, 3, 4, 5), rep(9, 5))
spearman("Gaps", c(3, NA, 5.5, 2, 8, 6.5, 1, 9, NA, 4), c(2.2, 1.1, 4, NA, 7.7, 5, 1.5, 6.1, 3, 3.9))
sink()
