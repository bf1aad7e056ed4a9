# Reference texts for the comparison of 2 to 10 groups in long form. Run here:
#   Rscript kgroups_reference.R   (writes kgroups.txt)
# Each set: "SET name", the value and group columns as typed ("V", "G"; "_" for an empty cell),
# one "GR" line a group in the order of its code (code n mean sd median P25 P75 Shapiro-P),
# "T" with F df1 df2 P eta2, Bartlett chi2 P, Levene F P, Welch F df2 P, Kruskal H df P eps2,
# one "PR" line a pair i < j (codes, mean i − mean j, Tukey low high P, Games-Howell P, Dunn z
# and Bonferroni P), and "C" with the analysis the note recommends (anova, welch, rank, none).
# "-" marks an empty field.
suppressMessages(library(car))
source("../../diagnostic/data/forms.R") # the display forms, written once for every R script
set.seed(20261214)
out <- character()
fmti <- function(v) ifelse(is.na(v), "-", sprintf("%.0f", v))
fmt2 <- function(v) fmtd(v, 2)
# A group is labelled by its code's plain decimal form.
label <- function(code) format(code, scientific = FALSE, trim = TRUE, drop0trailing = TRUE)

kgroups_set <- function(name, value, group, digits, junk = NULL, alias = NULL) {
  order <- sample(length(value))
  value <- value[order]; group <- group[order]
  tv <- sprintf(paste0("%.", digits, "f"), value)
  tg <- format(group, scientific = FALSE, trim = TRUE, drop0trailing = TRUE)
  # Another text of the same code in some rows ("1.0" for "1"): the same group.
  if (!is.null(alias)) tg[which(tg == alias$code)[1:2]] <- alias$text
  if (!is.null(junk)) { tv <- c(tv, junk$v); tg <- c(tg, junk$g) }
  out <<- c(out, paste("SET", name),
            paste("V", paste(ifelse(tv == "", "_", tv), collapse = " ")),
            paste("G", paste(ifelse(tg == "", "_", tg), collapse = " ")))
  # The values as typed, rounded to their shown digits.
  y <- round(value, digits)
  codes <- sort(unique(group)); k <- length(codes)
  f <- factor(group, levels = codes)
  parts <- split(y, f)
  n <- sapply(parts, length); m <- sapply(parts, mean)
  s <- sapply(parts, function(v) if (length(v) > 1) sd(v) else NA)
  sw <- sapply(parts, function(v)
    if (length(v) >= 3 && length(v) <= 5000 && diff(range(v)) > 0) shapiro.test(v)$p.value else NA)
  for (g in seq_len(k)) {
    q <- quantile(parts[[g]], c(0.5, 0.25, 0.75), type = 2, names = FALSE)
    out <<- c(out, paste("GR", label(codes[g]), n[g], fmt4(m[g]), fmt4(s[g]),
                         paste(fmt4(q), collapse = " "), fmtp(sw[g])))
  }
  N <- length(y)
  fit <- aov(y ~ f)
  tab <- anova(lm(y ~ f))
  fstat <- tab[1, "F value"]; p <- tab[1, "Pr(>F)"]
  eta2 <- tab[1, "Sum Sq"] / sum(tab[, "Sum Sq"])
  everyTwo <- all(n >= 2)
  spread <- all(!is.na(s) & s > 0)
  bart <- if (everyTwo && spread) bartlett.test(y ~ f) else list(statistic = NA, p.value = NA)
  welch <- if (everyTwo && spread) oneway.test(y ~ f, var.equal = FALSE)
           else list(statistic = NA, parameter = c(NA, NA), p.value = NA)
  lev <- c(NA, NA)
  if (everyTwo) {
    z <- abs(y - ave(y, f, FUN = median))
    lt <- anova(lm(z ~ f))
    lev <- c(lt[1, "F value"], lt[1, "Pr(>F)"])
    ct <- leveneTest(y ~ f)
    stopifnot(is.na(lev[1]) || abs(ct[1, "F value"] - lev[1]) < 1e-9 * max(1, lev[1]))
  }
  kw <- kruskal.test(y ~ f)
  H <- unname(kw$statistic)
  out <<- c(out, paste("T", fmt4(fstat), k - 1, N - k, fmtp(p), fmt4(eta2),
                       fmt4(unname(bart$statistic)), fmtp(bart$p.value),
                       fmt4(lev[1]), fmtp(lev[2]),
                       fmt4(unname(welch$statistic)), fmt2(unname(welch$parameter[2])),
                       fmtp(welch$p.value),
                       fmt4(H), k - 1, fmtp(kw$p.value), fmt4(H * (N + 1) / (N^2 - 1))))
  tk <- TukeyHSD(fit)$f
  r <- rank(y); mr <- tapply(r, f, mean)
  t <- table(y); ties <- sum(t^3 - t)
  v <- N * (N + 1) / 12 - ties / (12 * (N - 1))
  pairs <- k * (k - 1) / 2
  for (i in seq_len(k - 1)) for (j in (i + 1):k) {
    row <- tk[paste0(codes[j], "-", codes[i]), ]
    vi <- s[i]^2 / n[i]; vj <- s[j]^2 / n[j]
    gq <- abs(m[i] - m[j]) / sqrt((vi + vj) / 2)
    gdf <- (vi + vj)^2 / (vi^2 / (n[i] - 1) + vj^2 / (n[j] - 1))
    gp <- if (!is.na(gdf) && gdf >= 2) ptukey(gq, k, gdf, lower.tail = FALSE) else NA
    dz <- (mr[i] - mr[j]) / sqrt(v * (1 / n[i] + 1 / n[j]))
    dp <- min(1, pairs * 2 * pnorm(-abs(dz)))
    out <<- c(out, paste("PR", label(codes[i]), label(codes[j]),
                         fmt4(-row["diff"]), fmt4(-row["upr"]), fmt4(-row["lwr"]),
                         fmtp(row["p adj"]), fmtp(gp), fmt4(dz), fmtp(dp)))
  }
  choice <- if (any(!is.na(sw) & sw < 0.05)) "rank"
            else if (!is.na(lev[2]) && lev[2] < 0.05) "welch" else "anova"
  out <<- c(out, paste("C", choice))
}

# Two arms: systolic pressure (mmHg) after a new drug and after placebo.
kgroups_set("TwoArms", c(rnorm(12, 128, 11), rnorm(15, 139, 12)), rep(1:2, c(12, 15)), 1)
# Four arms of equal size: fall in HbA1c (%), a group coded "1.0" in some rows and rows that
# do not count (a value without a group, a group without a value, text).
g <- rep(1:4, each = 10)
kgroups_set("FourArms", rnorm(40, c(0.4, 0.9, 1.1, 1.5)[g], 0.45), g, 2,
            junk = list(v = c("1.25", "", "abc", "0.80"), g = c("", "2", "3", "1x")),
            alias = list(code = "1", text = "1.0"))
# Six doses of unequal size, coded by the dose (mg) with decimals: a dose-response in LDL.
dose <- c(0, 2.5, 5, 10, 20, 40); sizes <- c(5, 8, 12, 20, 9, 6)
g <- rep(dose, sizes)
kgroups_set("SixDoses", rnorm(sum(sizes), 3.6 - 0.35 * log2(1 + g), 0.5), g, 2)
# Ten stages, 3 to 15 patients each: a small trend in a marker.
sizes <- c(3, 5, 8, 15, 12, 9, 7, 4, 10, 6)
g <- rep(1:10, sizes)
kgroups_set("TenStages", rnorm(sum(sizes), 50 + 1.5 * g, 6), g, 1)
# Unequal variances: the same mean, SDs from 1 to 10.
sizes <- c(15, 12, 20, 10)
g <- rep(1:4, sizes)
kgroups_set("UnequalVariances", rnorm(sum(sizes), c(20, 21, 23, 26)[g], c(1, 2.5, 5, 10)[g]), g, 1)
# Pain scores 0-10: whole numbers, ties everywhere.
sizes <- c(8, 11, 14, 9, 12)
g <- rep(1:5, sizes)
kgroups_set("PainScoreTies", pmin(10, pmax(0, round(rnorm(sum(sizes), c(6, 5, 4, 4, 3)[g], 1.8)))),
            g, 0)
# Length of stay (days): skewed, so the rank analysis is the one to report.
sizes <- c(25, 30, 22)
g <- rep(1:3, sizes)
kgroups_set("SkewedStay", rlnorm(sum(sizes), c(1.6, 1.9, 2.2)[g], 0.7), g, 1)
# A group of one value and groups of two: no SD for the single value, no variance tests, and
# Games-Howell empty where the pair's df falls below 2.
g <- c(1, rep(2, 2), rep(3, 2), rep(4, 9))
kgroups_set("SingletonGroup", c(7.4, 5.1, 9.8, 6.0, 6.2, rnorm(9, 6.5, 1.1)), g, 1)
# A group whose values are all the same: no Bartlett or Welch, Levene still there.
g <- rep(c(-1, 0, 3), c(6, 5, 8))
kgroups_set("NoSpreadGroup", c(rnorm(6, 12, 2), rep(14, 5), rnorm(8, 15, 2.5)), g, 1)
# Codes of any size: negative, zero and 10^14.
g <- rep(c(-2, 0, 1e14), c(9, 7, 8))
kgroups_set("LargeCodes", rnorm(24, c(100, 104, 98)[match(g, c(-2, 0, 1e14))], 4), g, 2)
writeLines(out, "kgroups.txt")
