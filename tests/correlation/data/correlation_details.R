# Reference values for the details of correlation and regression (Y on X).
# Run: Rscript correlation_details.R
# Columns: name, P, r², r low, r high, b low, b high, a low, a high, s(y·x) ("-" where R gives
# no value), then r, the t of r rounded to 4 decimals (the panel's) and df for reading.
fmt4 <- function(v) sprintf("%.4f", v)
fmtp <- function(p) ifelse(p < 0.001, "<0.001", sprintf("%.3f", p))
# Values near 10^9 are given to R as their decimals with the offset apart (doubles hold
# 1000000000.11 only to 1e-7, and lm loses digits besides); a is moved back by the offsets.
corr <- function(name, x, y, offset = 0) {
  show <- function(v) if (offset) sprintf("%.2f", offset + v) else v
  cat("CORR", name, "X", show(x), "\n"); cat("CORR", name, "Y", show(y), "\n")
  xc <- x; ct <- cor.test(xc, y); fit <- lm(y ~ xc); n <- length(x)
  ci <- confint(fit)
  a <- coef(fit)[1] + offset - offset * coef(fit)[2]
  va <- vcov(fit)[1, 1] + offset^2 * vcov(fit)[2, 2] - 2 * offset * vcov(fit)[1, 2]
  aci <- a + c(-1, 1) * qt(0.975, n - 2) * sqrt(va)
  r <- unname(ct$estimate); r4 <- round(r, 4)
  rci <- if (n >= 4) fmt4(ct$conf.int) else c("-", "-")
  cat(name, fmtp(ct$p.value), fmt4(r^2), rci, fmt4(ci[2, ]), fmt4(aci), fmt4(summary(fit)$sigma),
      sprintf("# r %.6f t(r4) %.6f df %d b %.6f a %.6f", r, abs(r4) / sqrt((1 - r4^2) / (n - 2)),
              n - 2, coef(fit)[2], a), "\n")
}
set.seed(20261210)
cat("# realistic sets, the first typed through the grid (story correlation_details)\n")
x <- round(runif(10, 30, 75)); corr("AgeSystolic", x, round(92 + 0.8 * x + rnorm(10, 0, 9)))
x <- round(rnorm(12, 168, 8), 1); corr("HeightWeight", x, round(-88 + 0.9 * x + rnorm(12, 0, 6), 1))
x <- c(0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4); corr("DoseResponse", x, round(12 + 6.4 * x + rnorm(8, 0, 2.5), 1))
x <- round(rnorm(11, 7.6, 1.3), 1); corr("HbA1cGlucose", x, round(-2.1 + 1.45 * x + rnorm(11, 0, 1.1), 1))
x <- round(rnorm(9, 26, 3.5), 1); corr("BmiWaist", x, round(22 + 2.5 * x + rnorm(9, 0, 4)))
cat("# edge cases of the computation's table\n")
corr("ThreePairs", c(1.2, 2.9, 4.1), c(3.3, 4.0, 6.2))
corr("PerfectLine", c(1, 2, 3, 4, 5), c(3.5, 5.5, 7.5, 9.5, 11.5))
# Two readings near 10^9 with their spread in the decimals.
corr("HugeValues", c(0.11, 0.13, 0.12, 0.18, 0.15, 0.21), c(0.31, 0.36, 0.30, 0.47, 0.40, 0.52),
     offset = 1e9)
# 47 pairs, df 45 between the table's rows 40 and 50: the t of the unrounded r reaches the exact
# 5% point (2.0141) but the panel's t, from r rounded, stays under the row of 40 (2.021).
for (seed in 1:20000) {
  set.seed(seed); x <- round(rnorm(47, 50, 10)); y <- round(20 + 0.1 * x + rnorm(47, 0, 3.3), 1)
  r <- cor(x, y); r4 <- round(r, 4); t <- abs(r) * sqrt(45 / (1 - r^2))
  if (t > 2.0145 && abs(r4) * sqrt(45 / (1 - r4^2)) < 2.0205) break
}
corr("BetweenRows", x, y)
