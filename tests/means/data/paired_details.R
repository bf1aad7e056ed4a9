# Reference values for the details of the paired t-test. Run: Rscript paired_details.R
# d = first column - second column over complete pairs.
# Columns: name, mean d, CI low, CI high, P, dz (mean d / Sd), then t and df for reading.
fmt4 <- function(v) sprintf("%.4f", v)
fmtp <- function(p) ifelse(p < 0.001, "<0.001", sprintf("%.3f", p))
paired <- function(name, x, y, show = TRUE) {
  tt <- t.test(x, y, paired = TRUE); d <- x - y
  if (show) { cat("PAIR", name, "X", x, "\n"); cat("PAIR", name, "Y", y, "\n") }
  cat(name, fmt4(mean(d)), fmt4(tt$conf.int), fmtp(tt$p.value), fmt4(mean(d) / sd(d)),
      sprintf("# n %d sd %.6f t %.6f df %d p %.6f", length(d), sd(d), abs(tt$statistic), tt$parameter,
              tt$p.value), "\n")
}
set.seed(20261209)
cat("# realistic sets, the first typed through the grid (story means_paired_details)\n")
b <- round(rnorm(10, 152, 13)); paired("SystolicPressure", b, round(b - rnorm(10, 7, 8)))
b <- round(rnorm(9, 6.1, 0.9), 2); paired("CholesterolDiet", b, round(b - rnorm(9, 0.35, 0.4), 2))
b <- round(rnorm(8, 8.4, 1.1), 1); paired("HbA1c", b, round(b - rnorm(8, 0.6, 0.5), 1))
b <- round(rnorm(11, 84.2, 9.5), 1); paired("BodyWeight", b, round(b - rnorm(11, 0.4, 1.9), 1))
b <- round(runif(12, 4, 9)); paired("PainScore", b, pmax(0, round(b - rnorm(12, 1.6, 1.5))))
cat("# edge cases of the computation's table\n")
paired("TwoPairs", c(12.5, 14.1), c(11.2, 13.6))
paired("HugeValues", c(1000000000.1234, 1000000000.2345, 1000000000.3456, 1000000000.1113),
       c(1000000000.1034, 1000000000.2245, 1000000000.3156, 1000000000.1001))
# 46 pairs, df 45 between the table's rows 40 and 50: a t that reaches the exact 5% point
# (2.0141) but not the row of 40 (2.021).
for (seed in 1:5000) {
  set.seed(seed); x <- round(rnorm(46, 120, 10)); y <- round(x - rnorm(46, 1.5, 5), 1)
  t <- abs(t.test(x, y, paired = TRUE)$statistic)
  if (t > 2.0145 && t < 2.0205) break
}
paired("BetweenRows", x, y)
