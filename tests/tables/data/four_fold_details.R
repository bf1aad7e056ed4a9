# Reference values for the details of the four-fold and paired four-fold tests
# (tests/tables/four_fold_test.cpp reads four_fold_details.txt). Run once:
#   Rscript four_fold_details.R > four_fold_details.txt
# Each row: method, name, the cells a b c d, then every detail value (NA where undefined).
z <- qnorm(0.975)
g <- function(x) if (is.na(x) || !is.finite(x)) "NA" else sprintf("%.12g", x)

# The statistic as the panel computes it: basic while every T is at least 5, else corrected
# by n/2 without clamping; n is the total rounded half to even.
panel_chi <- function(a, b, c, d) {
  n <- round(a + b + c + d); r1 <- a + b; r2 <- c + d; c1 <- a + c; c2 <- b + d
  e <- c(r1 * c1, r1 * c2, r2 * c1, r2 * c2) / n
  k <- if (all(e >= 5)) 0 else n / 2
  n * (abs(a * d - b * c) - k)^2 / (r1 * r2 * c1 * c2)
}
wilson <- function(x, n) {
  p <- x / n
  (p + z^2 / (2 * n) + c(-1, 1) * z * sqrt(p * (1 - p) / n + z^2 / (4 * n^2))) / (1 + z^2 / n)
}
whole <- function(v) all(v == floor(v))

four_fold <- function(name, a, b, c, d) {
  m <- matrix(c(a, c, b, d), 2)
  chi <- panel_chi(a, b, c, d)
  p <- pchisq(chi, 1, lower.tail = FALSE)
  # Where the panel's formula is R's, R's own test must agree.
  if (whole(c(a, b, c, d)) && abs(a * d - b * c) >= (a + b + c + d) / 2) {
    e <- suppressWarnings(chisq.test(m, correct = FALSE))$expected
    r <- suppressWarnings(chisq.test(m, correct = any(e < 5)))
    stopifnot(abs(r$statistic - chi) < 1e-9 * max(1, chi))
  }
  fisher <- if (whole(c(a, b, c, d))) fisher.test(m)$p.value else NA
  k <- if (any(c(a, b, c, d) == 0)) 0.5 else 0
  A <- a + k; B <- b + k; C <- c + k; D <- d + k
  or <- A * D / (B * C); se <- sqrt(1 / A + 1 / B + 1 / C + 1 / D)
  rr <- (A / (A + B)) / (C / (C + D)); sr <- sqrt(1 / A - 1 / (A + B) + 1 / C - 1 / (C + D))
  p1 <- a / (a + b); p2 <- c / (c + d); w1 <- wilson(a, a + b); w2 <- wilson(c, c + d)
  if (whole(c(a, b, c, d))) {
    stopifnot(abs(w1 - prop.test(a, a + b, correct = FALSE)$conf.int) < 1e-9)
  }
  rd <- p1 - p2
  v <- c(or, exp(log(or) + c(-1, 1) * z * se), rr, exp(log(rr) + c(-1, 1) * z * sr),
         rd, rd - sqrt((p1 - w1[1])^2 + (w2[2] - p2)^2), rd + sqrt((w1[2] - p1)^2 + (p2 - w2[1])^2),
         p, fisher)
  cat("fourfold", name, a, b, c, d, sapply(v, g), "\n")
}

paired <- function(name, a, b, c, d) {
  n <- a + b + c + d; s <- b + c
  correct <- s < 40
  chi <- (if (correct) (abs(b - c) - 1)^2 else (b - c)^2) / s
  p <- pchisq(chi, 1, lower.tail = FALSE)
  if (whole(c(b, c)) && abs(b - c) >= 1) {
    r <- mcnemar.test(matrix(c(a, c, b, d), 2), correct = correct)
    stopifnot(abs(r$p.value - p) < 1e-12)
  }
  exact <- NA; lo <- NA; hi <- NA
  if (whole(c(b, c))) {
    bt <- binom.test(b, s, 0.5)
    exact <- bt$p.value
    lo <- bt$conf.int[1] / (1 - bt$conf.int[1]); hi <- bt$conf.int[2] / (1 - bt$conf.int[2])
  }
  diff <- (b - c) / n; se <- sqrt(s - (b - c)^2 / n) / n
  v <- c(if (c > 0) b / c else NA, lo, hi, diff, diff - z * se, diff + z * se, p, exact)
  cat("paired", name, a, b, c, d, sapply(v, g), "\n")
}

cat("# fourfold: OddsRatio OddsRatioLow OddsRatioHigh RiskRatio RiskRatioLow RiskRatioHigh",
    "RiskDiff RiskDiffLow RiskDiffHigh FourFoldP FisherP\n")
cat("# paired: PairedOddsRatio PairedOddsRatioLow PairedOddsRatioHigh PairedPropDiff",
    "PairedPropDiffLow PairedPropDiffHigh McNemarP McNemarExactP\n")
four_fold("VaccineTrial", 18, 2, 10, 10)
four_fold("FisherDisagreesAtForty", 8, 12, 2, 18)
four_fold("SmallPilot", 12, 3, 5, 10)
four_fold("ZeroCellSmall", 0, 15, 6, 14)
four_fold("ZeroCellCorrected", 6, 34, 0, 40)
four_fold("CorrectedBelowFive", 1, 19, 6, 14)
four_fold("CorrectedDifferenceNegative", 2, 8, 2, 8)
four_fold("Cohort", 120, 380, 85, 415)
four_fold("Registry", 12000, 13000, 11500, 13500)
four_fold("HundredThousand", 5200, 44800, 4800, 45200)
four_fold("RareEvents", 3, 4997, 15, 4985)
four_fold("FractionalCounts", 10.5, 10, 11, 10)
paired("TreatmentCorrected", 50, 25, 10, 40)
paired("TreatmentUncorrected", 80, 40, 22, 60)
paired("FewDiscordant", 30, 12, 4, 20)
paired("ThirteenDiscordant", 100, 10, 3, 80)
paired("NoCBecameNegative", 20, 7, 0, 13)
paired("NoBBecamePositive", 15, 0, 6, 19)
paired("EqualDiscordant", 40, 7, 7, 30)
paired("LargeSurvey", 400, 130, 90, 380)
paired("FractionalDiscordant", 20, 7.5, 3, 10)
