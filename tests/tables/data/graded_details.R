# Reference values for the details of the rank-sum test and Ridit analysis of a two-group,
# four-grade table. The rank-sum P is wilcox.test's normal approximation with the tie
# correction and no continuity correction; the ridits take both groups together as the
# reference, and each mean ridit has the interval R +- 1.96 / (2 sqrt(3 n)).
# Run: Rscript graded_details.R > graded_details.txt
# Each line: name, the test group's four counts, the control group's four, then as the program
# shows them: rank-sum P, Ridit P, and for each group its mean ridit, lower and upper limit.
p_form <- function(p) if (p < 0.001) "<0.001" else sprintf("%.3f", p)
f4 <- function(x) sprintf("%.4f", x)
tables <- list(
  # Grades of improvement under a new and a standard treatment.
  ImprovementGrades = rbind(c(10, 5, 3, 2), c(3, 5, 7, 5)),
  # Pain relief: complete, marked, slight, none.
  PainRelief = rbind(c(35, 28, 12, 5), c(20, 25, 18, 17)),
  # Unequal groups, a modest difference.
  UnequalGroups = rbind(c(25, 12, 6, 2), c(20, 15, 10, 8)),
  # Urine protein -, +, ++, +++ in two wards.
  UrineProtein = rbind(c(15, 20, 10, 5), c(8, 12, 18, 12)),
  # Only three grades used.
  ThreeGrades = rbind(c(12, 9, 4, 0), c(6, 10, 9, 0)),
  # Large groups with a small shift.
  LargeGroups = rbind(c(60, 25, 10, 5), c(40, 30, 20, 10)),
  # Small groups, where the normal approximation is rough.
  SmallGroups = rbind(c(3, 4, 2, 1), c(1, 2, 4, 3))
)
for (name in names(tables)) {
  m <- tables[[name]]
  x <- rep(1:4, m[1, ])
  y <- rep(1:4, m[2, ])
  rank_p <- suppressWarnings(wilcox.test(x, y, exact = FALSE, correct = FALSE)$p.value)
  N <- sum(m)
  p <- colSums(m) / N
  ridit <- cumsum(p) - p / 2
  n <- rowSums(m)
  mean_ridit <- as.vector(m %*% ridit) / n
  u <- abs(mean_ridit[1] - mean_ridit[2]) / sqrt(1 / (12 * n[1]) + 1 / (12 * n[2]))
  ridit_p <- 2 * pnorm(-u)
  half <- 1.96 / (2 * sqrt(3 * n))
  cat(name, as.vector(t(m)), p_form(rank_p), p_form(ridit_p),
      f4(mean_ridit[1]), f4(mean_ridit[1] - half[1]), f4(mean_ridit[1] + half[1]),
      f4(mean_ridit[2]), f4(mean_ridit[2] - half[2]), f4(mean_ridit[2] + half[2]), sep = "\t")
  cat("\n")
}
