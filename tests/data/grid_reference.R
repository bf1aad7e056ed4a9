# Reference data sets typed through the two-column grid in tests/stories/means_*.replay and
# correlation_*.replay, and the values R gives for them. Run: Rscript tests/data/grid_reference.R
set.seed(20261207)
# Haemoglobin (g/L) of two groups of 33 and 36 patients.
a <- round(rnorm(33, 128.4, 11.2), 1); b <- round(rnorm(36, 119.0, 12.5), 1)
tt <- t.test(a, b, var.equal = TRUE)
cat("TWO_A", a, "\n"); cat("TWO_B", b, "\n")
cat(sprintf("TWO mean1 %.6f sd1 %.6f mean2 %.6f sd2 %.6f t %.6f df %d p %.5f\n",
            mean(a), sd(a), mean(b), sd(b), tt$statistic, tt$parameter, tt$p.value))
# Systolic pressure of 34 patients before and after treatment.
before <- round(rnorm(34, 148, 14)); after <- round(before - rnorm(34, 6.5, 9.8))
pt <- t.test(before, after, paired = TRUE); d <- before - after
cat("PAIR_X", before, "\n"); cat("PAIR_Y", after, "\n")
cat(sprintf("PAIR n %d mean %.6f sd %.6f t %.6f df %d p %.5f\n", length(d), abs(mean(d)), sd(d),
            abs(pt$statistic), pt$parameter, pt$p.value))
# Age (years) and systolic pressure of 41 adults.
age <- round(runif(41, 35, 75)); sbp <- round(96 + 0.72 * age + rnorm(41, 0, 11), 1)
ct <- cor.test(age, sbp); fit <- lm(sbp ~ age); r4 <- round(unname(ct$estimate), 4)
cat("CORR_X", age, "\n"); cat("CORR_Y", sbp, "\n")
cat(sprintf("CORR n %d r %.6f t %.6f t_of_rounded_r %.6f df %d p %.5f a %.6f b %.6f\n", 41,
            ct$estimate, ct$statistic, abs(r4) / sqrt((1 - r4^2) / 39), ct$parameter,
            ct$p.value, coef(fit)[1], coef(fit)[2]))
