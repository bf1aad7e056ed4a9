# Reference values for the pictures' numbers. Run: Rscript plots_reference.R > plots_reference.txt
# Each line: a key, a colon, then values separated by spaces (15 significant digits).
out <- function(key, v) cat(key, ": ", paste(formatC(v, digits = 15, format = "g"), collapse = " "), "\n", sep = "")
r4 <- function(v) round(v, 4)
ci <- function(m, s, n) m + c(-1, 1) * qt(0.975, n - 1) * s / sqrt(n)

# Two-sample t: haemoglobin (g/L) of anaemic children on two iron preparations.
g1 <- c(112.5, 118.2, 109.8, 121.4, 115.0, 117.3, 110.6, 119.9, 114.2, 116.8, 113.1, 120.5)
g2 <- c(105.3, 110.2, 102.8, 108.9, 111.5, 104.7, 107.6, 109.1, 103.9, 106.4)
out("two.g1", g1); out("two.g2", g2)
for (g in list(list("two.g1", g1), list("two.g2", g2))) {
  x <- g[[2]]; m <- r4(mean(x)); s <- r4(sd(x))
  out(paste0(g[[1]], ".boxes"), c(m, s, length(x)))
  out(paste0(g[[1]], ".ci"), ci(m, s, length(x)))
}

# Analysis of variance: serum cholesterol (mmol/L) under three diets.
a1 <- c(4.62, 5.10, 4.88, 5.35, 4.71, 5.02, 4.95, 5.21)
a2 <- c(5.44, 5.81, 5.29, 5.66, 5.92, 5.50, 5.73)
a3 <- c(6.02, 5.87, 6.35, 6.11, 5.95, 6.28, 6.40, 6.06, 6.19)
for (g in list(list("anova.g1", a1), list("anova.g2", a2), list("anova.g3", a3))) {
  x <- g[[2]]; m <- r4(mean(x)); s <- r4(sd(x))
  out(g[[1]], x)
  out(paste0(g[[1]], ".boxes"), c(m, s, length(x)))
  out(paste0(g[[1]], ".ci"), ci(m, s, length(x)))
}

# Paired t: diastolic pressure (mmHg) before and after treatment.
before <- c(98, 104, 95, 110, 102, 99, 107, 96, 101, 105, 100, 108)
after <- c(90, 97, 92, 99, 96, 95, 98, 93, 94, 97, 96, 100)
out("paired.before", before); out("paired.after", after)
out("paired.ci", t.test(after - before)$conf.int)
out("paired.mean", mean(after - before))

# Four-fold: responders (+) and non-responders (-) in the test and control group.
ff <- c(46, 14, 31, 29)
out("fourfold.cells", ff)
out("fourfold.test", c(ff[1] / (ff[1] + ff[2]), prop.test(ff[1], ff[1] + ff[2], correct = FALSE)$conf.int))
out("fourfold.control", c(ff[3] / (ff[3] + ff[4]), prop.test(ff[3], ff[3] + ff[4], correct = FALSE)$conf.int))

# Paired four-fold: two assays on the same 60 samples; rows after (second assay), columns before.
pf <- c(25, 12, 4, 19); n <- sum(pf)
out("paired4.cells", pf)
out("paired4.row", c((pf[1] + pf[2]) / n, prop.test(pf[1] + pf[2], n, correct = FALSE)$conf.int))
out("paired4.column", c((pf[1] + pf[3]) / n, prop.test(pf[1] + pf[3], n, correct = FALSE)$conf.int))

# R×C: three treatments by three outcomes (cured, improved, no change), fourth column empty.
m <- matrix(c(32, 18, 10, 25, 22, 13, 14, 20, 26), nrow = 3, byrow = TRUE)
out("rxc.cells", t(m))
out("rxc.shares", t(prop.table(m, 1)))

# Correlation: age (years) and systolic pressure (mmHg) of 15 adults.
x <- c(35, 42, 38, 51, 47, 60, 55, 44, 63, 58, 39, 50, 66, 45, 53)
y <- c(118, 125, 121, 138, 130, 147, 140, 126, 152, 141, 119, 133, 158, 128, 136)
out("corr.x", x); out("corr.y", y)
fit <- lm(y ~ x)
out("corr.coef", coef(fit))
grid <- seq(min(x), max(x), length.out = 50)
band <- predict(fit, newdata = data.frame(x = grid), interval = "confidence", level = 0.95)
out("corr.band.x", grid); out("corr.band.fit", band[, "fit"])
out("corr.band.low", band[, "lwr"]); out("corr.band.high", band[, "upr"])

# Graded: test and control group over four ascending grades.
gt <- c(10, 5, 3, 2); gc <- c(3, 5, 7, 5)
out("graded.cells", c(gt, gc))
out("graded.test", gt / sum(gt)); out("graded.control", gc / sum(gc))

# Generator: 200 values, one decimal, target mean 120 and SD 15.
set.seed(20261208)
v <- round(rnorm(200, 120, 15), 1)
out("gen.values", v)
k <- ceiling(log2(length(v)) + 1)
w <- (max(v) - min(v)) / k
h <- hist(v, breaks = min(v) + (0:k) * w, right = FALSE, include.lowest = TRUE, plot = FALSE)
out("gen.breaks", h$breaks); out("gen.counts", h$counts)
cx <- 120 - 4 * 15 + 8 * 15 * (0:120) / 120
out("gen.curve.y", length(v) * w * dnorm(cx, 120, 15))
