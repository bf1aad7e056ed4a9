# Reference values for the details of the two-sample t-test. Run: Rscript two_sample_details.R
# The panel works from the six boxes, so R is given data that have exactly the boxes' means and
# SDs (m + s * scale(1:n)); for grid data the boxes hold the mean and SD rounded to 4 decimals.
# Columns: name, P, F, P(F), X1-X2, CI low, CI high, d, d low, d high, Welch t', df, P(Welch).
fmt4 <- function(v) sprintf("%.4f", v)
fmtp <- function(p) ifelse(p < 0.001, "<0.001", sprintf("%.3f", p))
synth <- function(m, s, n) if (n == 1) m else m + s * as.vector(scale(seq_len(n)))
# Cohen's d and its interval by inverting the noncentral t (ncp = d * sqrt(n1 n2 / (n1 + n2))).
d_ci <- function(t, n1, n2) {
  df <- n1 + n2 - 2; k <- sqrt(n1 * n2 / (n1 + n2))
  # pnt warns about its last digits near the ends of the bracket; the roots are unaffected.
  root <- function(p) suppressWarnings(uniroot(function(ncp) pt(t, df, ncp) - p, t + c(-15, 15) * sqrt(1 + t^2 / (2 * df)),
                              tol = 1e-12))$root
  c(root(0.975), root(0.025)) / k
}
two <- function(name, x1, s1, n1, x2, s2, n2) {
  a <- synth(x1, s1, n1); b <- synth(x2, s2, n2)
  tp <- t.test(a, b, var.equal = TRUE)
  sp <- sqrt(((n1 - 1) * s1^2 + (n2 - 1) * s2^2) / (n1 + n2 - 2))
  out <- c(name, fmtp(tp$p.value))
  if (n1 > 1 && n2 > 1) { vt <- var.test(a, b); out <- c(out, fmt4(vt$statistic), fmtp(vt$p.value)) }
  else out <- c(out, "-", "-")
  out <- c(out, fmt4(x1 - x2), fmt4(tp$conf.int), fmt4((x1 - x2) / sp),
           fmt4(d_ci(unname(tp$statistic), n1, n2)))
  if (n1 > 1 && n2 > 1) { tw <- t.test(a, b)
    out <- c(out, fmt4(tw$statistic), sprintf("%.2f", tw$parameter), fmtp(tw$p.value)) }
  else out <- c(out, "-", "-", "-")
  cat(out, sprintf("# t %.6f df %g p %.6f", abs(tp$statistic), tp$parameter, tp$p.value), "\n")
}
cat("# typed into the six boxes\n")
two("Haemoglobin", 128.5242, 10.7945, 33, 123.8139, 14.5106, 36)
two("BirthWeight", 3.214, 0.421, 48, 3.053, 0.472, 52)
two("Cholesterol", 5.62, 0.98, 25, 4.97, 1.12, 22)
two("CrpUnequalVariances", 12.4, 9.8, 20, 4.1, 2.3, 24)
# df 45 lies between the table's rows 40 and 50: t = 2.0199 reaches the exact 5% point
# (2.0141) but not the row of 40 (2.021).
two("GlucoseBetweenRows", 6.121, 0.85, 24, 5.62, 0.85, 23)
two("EqualMeans", 10, 2, 10, 10, 2, 10)
two("OneCaseInGroup1", 130, 12, 1, 118, 11, 15)
two("TwoPerGroup", 5.1, 0.4, 2, 4.3, 0.5, 2)
# Means near 10^9 with the spread in the decimals; R works on the decimals (the same test).
# df 1 is a row of the table, but its 12.70 is 12.706 rounded: t = 12.7030 reaches the printed
# value and not the exact 5% point.
two("TableRoundedRow", 25.5579, 1, 2, 10, 1, 1)
# df 1500 takes the row of infinity (1.960); t = 1.9611 falls short of the exact 1.9615.
two("DfAboveThousand", 10.1012, 1, 751, 10, 1, 751)
two("HugeValues", 0.1234, 0.0123, 10, 0.1334, 0.0145, 12)

cat("# typed through the grid (story means_two_sample_details): raw values, then the boxes\n")
set.seed(20261208)
grid <- list(
  Albumin = list(round(rnorm(12, 38.5, 4.1), 1), round(rnorm(11, 34.9, 4.6), 1)))
for (name in names(grid)) {
  a <- grid[[name]][[1]]; b <- grid[[name]][[2]]
  cat("GRID", name, "X", a, "\n"); cat("GRID", name, "Y", b, "\n")
  two(name, round(mean(a), 4), round(sd(a), 4), length(a), round(mean(b), 4), round(sd(b), 4),
      length(b))
}
cat("# groups so far apart (t = 1102) that the interval of d is not sought\n")
a <- synth(100, 1, 300); b <- synth(10, 1, 300); tp <- t.test(a, b, var.equal = TRUE)
cat("GroupsFarApart", fmtp(tp$p.value), fmt4(var.test(a, b)$statistic),
    fmtp(var.test(a, b)$p.value), fmt4(90), fmt4(tp$conf.int), fmt4(90), "-", "-",
    fmt4(t.test(a, b)$statistic), sprintf("%.2f", t.test(a, b)$parameter),
    fmtp(t.test(a, b)$p.value), sprintf("# t %.6f", tp$statistic), "\n")
