# Reference values of the studentized range distribution (tests/means/studentized_range_test.cpp).
# Run once: Rscript studentized_range.R > studentized_range.txt
# R's ptukey is accurate to about five digits only for 3 to 5 degrees of freedom (up to 3e-5 at
# df 3, q 20). Each value is therefore also computed by a direct double integral with
# integrate(); where the two differ by more than 1e-7 the row takes the integral and says so.
pinf <- function(w, k) {
  if (w <= 0) return(0)
  integrate(function(z) k * dnorm(z) * (pnorm(z) - pnorm(z - w))^(k - 1), -Inf, Inf,
            rel.tol = 1e-13)$value
}
direct <- function(q, k, nu) {
  if (is.infinite(nu)) return(pinf(q, k))
  # Above s = 14 / q the range of k <= 10 normal means is certain to double precision.
  s1 <- 14 / q
  f <- function(s) sapply(s, function(si) dchisq(nu * si^2, nu) * 2 * nu * si * pinf(q * si, k))
  integrate(f, 0, s1, rel.tol = 1e-12, subdivisions = 1000)$value +
    pchisq(nu * s1^2, nu, lower.tail = FALSE)
}
cat("# kind k nu x reference source (ptukey: x = q, reference = P(Q <= q); qtukey: x = p)\n")
for (k in c(3, 2, 4, 5, 6, 7, 8, 9, 10)) {
  nus <- if (k == 3) c(2, 3, 4, 5, 7, 10, 12, 20, 30, 60, 120, 1000, Inf) else c(2, 5, 20, Inf)
  qs <- if (k == 3) c(0.5, 1, 2, 3, 3.5, 4, 5, 6, 8, 10, 15, 20) else c(1, 3, 5, 8)
  for (nu in nus) for (q in qs) {
    r <- ptukey(q, k, nu); d <- direct(q, k, nu)
    src <- if (abs(r - d) > 1e-7) "integrate" else "ptukey"
    cat(sprintf("cdf %d %s %.10g %.15g %s\n", k, format(nu), q, if (src == "ptukey") r else d, src))
  }
}
for (k in c(2, 3, 5, 10)) for (nu in c(2, 3, 5, 10, 20, 120, Inf)) for (p in c(0.5, 0.95, 0.99)) {
  r <- qtukey(p, k, nu)
  src <- "qtukey"
  if (abs(direct(r, k, nu) - p) > 1e-8) {
    r <- uniroot(function(q) direct(q, k, nu) - p, c(0.5 * r, 1.5 * r), tol = 1e-12)$root
    src <- "integrate"
  }
  cat(sprintf("quantile %d %s %.10g %.15g %s\n", k, format(nu), p, r, src))
}
# Large df, where the estimate's spread is narrow (sd of s about 1 / sqrt(2 nu)): the integral
# runs over the peak alone, and ptukey, which treats df above 25000 as infinite, is not used.
peak <- function(q, k, nu) {
  sd <- 1 / sqrt(2 * nu); s1 <- 14 / q
  lo <- max(0, 1 - 15 * sd); hi <- min(s1, 1 + 15 * sd)
  f <- function(s) sapply(s, function(si) dchisq(nu * si^2, nu) * 2 * nu * si * pinf(q * si, k))
  (if (hi > lo) integrate(f, lo, hi, rel.tol = 1e-12)$value else 0) +
    pchisq(nu * min(s1, 1 + 15 * sd)^2, nu, lower.tail = FALSE)
}
for (k in c(3, 5)) for (nu in c(2000, 10000, 1e5, 3e6)) {
  for (q in c(0.5, 1, 2, 3, 3.5, 4, 5, 6))
    cat(sprintf("cdf %d %s %.10g %.15g integrate\n", k, format(nu, scientific = FALSE), q, peak(q, k, nu)))
  for (p in c(0.5, 0.95, 0.99)) {
    r <- uniroot(function(q) peak(q, k, nu) - p, c(1, 8), tol = 1e-12)$root
    cat(sprintf("quantile %d %s %.10g %.15g integrate\n", k, format(nu, scientific = FALSE), p, r))
  }
}
