# Exact P values, intervals and effect sizes for the report's worked cases, in the forms the
# details boxes show them: P to three decimals ("<0.001" below 0.001), the rest to four.
p3 <- function(p) if (p < 0.001) "<0.001" else sprintf("%.3f", p)
f4 <- function(x) sprintf("%.4f", x)
out <- character()
say <- function(case, name, value) out <<- c(out, paste(case, name, value, sep = "\t"))

two_sample <- function(case, x1, s1, n1, x2, s2, n2) {
  df <- n1 + n2 - 2
  sp2 <- ((n1 - 1) * s1^2 + (n2 - 1) * s2^2) / df
  se <- sqrt(sp2 * (1 / n1 + 1 / n2))
  d <- x1 - x2
  t <- d / se
  say(case, "TwoSampleP", p3(2 * pt(-abs(t), df)))
  say(case, "TwoSampleDiff", f4(d))
  say(case, "TwoSampleDiffLow", f4(d - qt(0.975, df) * se))
  say(case, "TwoSampleDiffHigh", f4(d + qt(0.975, df) * se))
  v1 <- s1^2 / n1; v2 <- s2^2 / n2
  wt <- d / sqrt(v1 + v2)
  wdf <- (v1 + v2)^2 / (v1^2 / (n1 - 1) + v2^2 / (n2 - 1))
  say(case, "TwoSampleWelchT", f4(abs(wt)))
  say(case, "TwoSampleWelchDf", f4(wdf))
  say(case, "TwoSampleWelchP", p3(2 * pt(-abs(wt), wdf)))
  f <- s1^2 / s2^2
  say(case, "TwoSampleVarF", f4(f))
  say(case, "TwoSampleVarP", p3(2 * min(pf(f, n1 - 1, n2 - 1), 1 - pf(f, n1 - 1, n2 - 1))))
}
# Haemoglobin (g/L) of two groups of 20; the second case has a smaller difference, the third
# unequal variances.
two_sample("two_sample_significant", 132.4, 11.2, 20, 124.6, 10.8, 20)
two_sample("two_sample_not_significant", 132.4, 11.2, 20, 128.9, 10.8, 20)
two_sample("two_sample_welch", 132.4, 18.5, 12, 120.1, 6.2, 30)

four_fold <- function(case, a, b, c, d) {
  m <- matrix(c(a, c, b, d), 2)
  say(case, "FourFoldP", p3(chisq.test(m, correct = FALSE)$p.value))
  ft <- fisher.test(m)
  say(case, "FisherP", p3(ft$p.value))
  or <- (a * d) / (b * c)
  se <- sqrt(1 / a + 1 / b + 1 / c + 1 / d)
  say(case, "OddsRatio", f4(or))
  say(case, "OddsRatioLow", f4(exp(log(or) - qnorm(0.975) * se)))
  say(case, "OddsRatioHigh", f4(exp(log(or) + qnorm(0.975) * se)))
}
# Responders among 40 treated and 40 controls; a small table that needs the exact test.
four_fold("four_fold_significant", 30, 10, 18, 22)
four_fold("four_fold_small", 7, 2, 2, 7)

x <- c(35, 42, 48, 51, 55, 58, 62, 66, 70, 74)
y <- c(118, 121, 130, 128, 135, 140, 138, 146, 150, 155)
ct <- cor.test(x, y)
say("correlation_significant", "CorrP", p3(ct$p.value))
say("correlation_significant", "CorrRLow", f4(ct$conf.int[1]))
say("correlation_significant", "CorrRHigh", f4(ct$conf.int[2]))
writeLines(out, "report_details.txt")
