# Reference values for the three-group grid story (tests/stories/anova_grid_bp.replay).
# Run once with Rscript; the story holds its output. The panel works from the four-decimal
# mean and SD in its boxes, so besides aov on the raw data this prints the same test from the
# rounded summaries; where the two differ in the fourth decimal the story uses the latter.
set.seed(20261207)
mk <- function(n, mu, sd, dec) round(rnorm(n, mu, sd), dec)
sets <- list(
  bp = list(mk(20, 120, 12, 1), mk(25, 127, 12, 1), mk(40, 131, 13, 1))
)
for (name in names(sets)) {
  g <- sets[[name]]
  y <- unlist(g); f <- factor(rep(1:3, lengths(g)))
  s <- summary(aov(y ~ f))[[1]]
  df <- s[["Df"]][2]; mse <- s[["Mean Sq"]][2]
  cat(sprintf("set %s\n", name))
  for (i in 1:3) cat(sprintf("group %d %s\n", i, paste(g[[i]], collapse = " ")))
  m <- sapply(g, mean); sdv <- sapply(g, sd); n <- lengths(g)
  for (i in 1:3) cat(sprintf("summary %d %.4f %.4f %d\n", i, m[i], sdv[i], n[i]))
  mr <- round(m, 4); sr <- round(sdv, 4)
  ssw <- sum((n - 1) * sr^2); gm <- sum(n * mr) / sum(n); ssb <- sum(n * (mr - gm)^2)
  cat(sprintf("F aov %.6f boxes %.6f df %d\n", s[["F value"]][1], (ssb / 2) / (ssw / df), df))
  for (p in list(c(1, 2), c(1, 3), c(2, 3))) {
    a <- p[1]; b <- p[2]
    se <- function(ms, k) sqrt(ms * k * (1 / n[a] + 1 / n[b]))
    q <- abs(m[a] - m[b]) / se(mse, 0.5); qb <- abs(mr[a] - mr[b]) / se(ssw / df, 0.5)
    t <- abs(m[a] - m[b]) / se(mse, 1); tb <- abs(mr[a] - mr[b]) / se(ssw / df, 1)
    cat(sprintf("pair %d %d q aov %.6f boxes %.6f t aov %.6f boxes %.6f p %.6f\n", a, b, q, qb,
                t, tb, 2 * pt(-round(tb, 4), df)))
  }
}
