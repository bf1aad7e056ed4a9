# Reference texts for method 9 (diagnostic test evaluation) and for Cohen's kappa of the
# paired table. Run here: Rscript diagnostic_reference.R (writes diagnostic.txt and kappa.txt).
suppressMessages(library(epiR))
source("forms.R")

# a b c d: test positive/negative by reference standard positive/negative; prevalence in %
# expected in practice ("-" for none).
tables <- read.table(text = "
Mammography       112   45  18  825  1.5
RapidAntigen      187    6  63  494  10
SmallPilot          9    2   1    8  -
QuarterTicks        1    3  31   29  -
Registry         4210 1385 390 23015 12.5
ZeroFalsePos       48    0  12  140  30
ZeroFalseNeg       35   20   0   95  5
ZeroTruePos         0   15   9  120  20
ZeroTrueNeg        20   10   5    0  50
NoHealthy          30    0   6    0  10
OneEach             1    1   1    1  99.9
", col.names = c("name", "a", "b", "c", "d", "prev"), colClasses = c("character", rep("numeric", 4), "character"))

cp <- function(x, n) {
  if (n == 0) return(c(NA, NA, NA))
  c(x / n, binom.test(x, n)$conf.int)
}
# A ratio that is 0 keeps no bounds; one that is infinite or 0/0 is empty.
ratio <- function(est, low, high) {
  if (!is.finite(est)) return(c(NA, NA, NA))
  if (est == 0) return(c(0, NA, NA))
  c(est, low, high)
}

out <- c("# name a b c d prevalence, then DiagSens DiagSpec DiagPpv DiagNpv DiagAccuracy DiagPrevalence",
         "# DiagLrPos DiagLrNeg DiagDor",
         "# (each value low high), DiagYouden, DiagPpvAtPrev, DiagNpvAtPrev; '-' for empty")
for (i in seq_len(nrow(tables))) {
  t <- tables[i, ]; a <- t$a; b <- t$b; c <- t$c; d <- t$d; n <- a + b + c + d
  se <- a / (a + c); sp <- d / (b + d)
  props <- c(cp(a, a + c), cp(d, b + d), cp(a, a + b), cp(d, c + d), cp(a + d, n), cp(a + c, n))
  ratios <- rep(NA, 9)
  if (a + c > 0 && b + d > 0) {
    e <- suppressWarnings(epi.tests(as.table(matrix(c(a, b, c, d), 2, byrow = TRUE)))$detail)
    row <- function(s) unlist(e[e$statistic == s, c("est", "lower", "upper")])
    ratios <- c(do.call(ratio, unname(as.list(row("lr.pos")))), do.call(ratio, unname(as.list(row("lr.neg")))),
                do.call(ratio, unname(as.list(row("diag.or")))))
    # epiR's point estimates must be the plain ratios.
    stopifnot(isTRUE(all.equal(unname(row("se")[1]), se)))
  }
  youden <- se + sp - 1
  atPrev <- c(NA, NA)
  if (t$prev != "-" && is.finite(youden)) {
    p <- as.numeric(t$prev) / 100
    ppv <- se * p / (se * p + (1 - sp) * (1 - p)); npv <- sp * (1 - p) / (sp * (1 - p) + (1 - se) * p)
    atPrev <- c(ppv, npv)
  }
  out <- c(out, paste(t$name, a, b, c, d, t$prev,
                      paste(fmt4(c(props, ratios, youden, atPrev)), collapse = " ")))
}
writeLines(out, "diagnostic.txt")

# Cohen's kappa of a paired 2x2 table, with the large-sample non-null variance of Fleiss,
# Cohen and Everitt (1969) for the interval and the variance under kappa = 0 for the test,
# written for a k x k table of proportions.
kappa <- function(m) {
  n <- sum(m); p <- m / n; r <- rowSums(p); s <- colSums(p)
  po <- sum(diag(p)); pe <- sum(r * s); k <- (po - pe) / (1 - pe)
  inner <- 0
  for (i in 1:2) for (j in 1:2) {
    if (i == j) inner <- inner + p[i, i] * (1 - (r[i] + s[i]) * (1 - k))^2
    else inner <- inner + (1 - k)^2 * p[i, j] * (s[i] + r[j])^2
  }
  se <- sqrt(max(0, inner - (k - pe * (1 - k))^2) / n) / (1 - pe)
  se0 <- sqrt(max(0, pe + pe^2 - sum(r * s * (r + s))) / n) / (1 - pe)
  list(po = po, k = k, se = se, se0 = se0)
}
# The delta-method SE of kappa at cell proportions q for n pairs, by central differences.
delta <- function(q, n = sum(m)) {
  f <- function(x) { x <- x / sum(x); r <- rowSums(x); s <- colSums(x); pe <- sum(r * s)
                     (sum(diag(x)) - pe) / (1 - pe) }
  g <- sapply(1:4, function(i) { h <- 1e-6; u <- q; v <- q; u[i] <- u[i] + h; v[i] <- v[i] - h
                                 (f(u) - f(v)) / (2 * h) })
  sqrt(max(0, sum(q * g^2) - sum(q * g)^2) / n)
}
pairs <- read.table(text = "
TwoRadiologists   40   9   6  45
TwoAssays        112  14  21 253
RatersDisagree     5  20  18   7
Perfect           30   0   0  20
ZeroA              0   8   5  37
ZeroOffDiagonal   12   0   7  31
SmallSample        3   1   2   4
LargeSurvey     1250 180 240 3330
", col.names = c("name", "a", "b", "c", "d"))
out <- "# name a b c d, then KappaAgreement Kappa KappaLow KappaHigh KappaP"
for (i in seq_len(nrow(pairs))) {
  t <- pairs[i, ]; m <- matrix(c(t$a, t$b, t$c, t$d), 2, byrow = TRUE)
  k <- kappa(m)
  # The estimate agrees with epiR's; both variances with the delta method, at the observed
  # cells and at the cells independence would give with the same margins.
  e <- suppressWarnings(epi.kappa(as.table(m), method = "cohen"))
  stopifnot(isTRUE(all.equal(e$kappa$est, k$k)))
  if (is.finite(k$k)) {
    pm <- m / sum(m)
    stopifnot(abs(delta(pm) - k$se) < 1e-6, abs(delta(outer(rowSums(pm), colSums(pm))) - k$se0) < 1e-6)
  }
  z <- qnorm(0.975)
  bounds <- pmin(1, pmax(-1, k$k + c(-1, 1) * z * k$se))
  p <- if (k$se0 > 0) 2 * pnorm(-abs(k$k / k$se0)) else NA
  out <- c(out, paste(t$name, t$a, t$b, t$c, t$d,
                      paste(c(fmt4(c(k$po, k$k, bounds)), fmtp(p)), collapse = " ")))
}
writeLines(out, "kappa.txt")
