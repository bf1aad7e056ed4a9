# Reference values for the details of the R×C chi-square test: the P of chisq.test and
# Cramér's V = sqrt(chi2 / (n (k - 1))), k the smaller number of filled rows and columns.
# Run: Rscript rxc_details.R > rxc_details.txt
# Each line: name, the twelve cells of the 3×4 grid row by row ("-" for an empty cell),
# chi-square, P and V as the program shows them.
p_form <- function(p) if (p < 0.001) "<0.001" else sprintf("%.3f", p)
tables <- list(
  # Cure rate of three regimens: cured / not cured.
  TwoByThreeRegimens = rbind(c(45, 38, 22), c(15, 22, 38)),
  # ABO blood groups in three districts.
  ThreeByFourBloodGroups = rbind(c(58, 49, 22, 71), c(43, 55, 18, 64), c(37, 41, 26, 49)),
  # Severity grade by three age bands.
  ThreeByThreeAgeBands = rbind(c(32, 22, 14), c(24, 26, 17), c(18, 20, 24)),
  # Four wards, complication yes / no.
  TwoByFourWards = rbind(c(20, 15, 12, 8), c(10, 14, 18, 22)),
  # Three clinics, two outcomes, written as three rows of two columns.
  ThreeByTwoClinics = rbind(c(40, 15), c(35, 20), c(28, 25)),
  # A rare outcome: two theoretical counts between 1 and 5 at 2 df.
  TwoByThreeRareOutcome = rbind(c(3, 12, 15), c(7, 5, 18)),
  # A theoretical count below 1.
  TwoByThreeTinyCount = rbind(c(0, 12, 25), c(2, 15, 30)),
  # A full grid that tolerates two small theoretical counts.
  ThreeByFourTwoSmallCounts = rbind(c(30, 30, 20, 10), c(10, 15, 14, 1), c(5, 5, 9, 1))
)
for (name in names(tables)) {
  m <- tables[[name]]
  test <- suppressWarnings(chisq.test(m, correct = FALSE))
  chi <- unname(test$statistic)
  k <- min(dim(m))
  v <- sqrt(chi / (sum(m) * (k - 1)))
  grid <- matrix("-", 3, 4)
  grid[seq_len(nrow(m)), seq_len(ncol(m))] <- as.character(m)
  cat(name, as.vector(t(grid)), sprintf("%.4f", chi), p_form(test$p.value), sprintf("%.4f", v),
      sep = "\t")
  cat("\n")
}
