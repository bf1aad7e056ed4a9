# Reference texts for method 10 (ROC analysis) from pROC. Run here: Rscript roc_reference.R
# (writes roc.txt). Each set: "SET name lowerPositive", its value and status columns as typed
# ("_" for an empty cell), "R" with RocNPos … RocYouden ("-" for empty) and one "C" line per
# cut-off (value, Se, Sp, Youden) in ascending order of the value.
suppressMessages(library(pROC))
source("forms.R")
set.seed(20261209)
out <- character()

roc_set <- function(name, value, status, lower = FALSE, junk = NULL) {
  texts_v <- as.character(value); texts_s <- as.character(status)
  if (!is.null(junk)) { texts_v <- c(texts_v, junk$v); texts_s <- c(texts_s, junk$s) }
  out <<- c(out, paste("SET", name, as.integer(lower)),
            paste("V", paste(ifelse(texts_v == "", "_", texts_v), collapse = " ")),
            paste("S", paste(ifelse(texts_s == "", "_", texts_s), collapse = " ")))
  n1 <- sum(status == 1); n0 <- sum(status == 0)
  dir <- if (lower) ">" else "<"
  r <- roc(status, value, direction = dir, levels = c(0, 1), quiet = TRUE)
  auc <- as.numeric(auc(r))
  se <- suppressWarnings(sqrt(var(r, method = "delong")))
  ci <- suppressWarnings(as.numeric(ci.auc(r, method = "delong")))
  # pROC keeps AUC ± 1.96·SE within [0, 1].
  stopifnot(is.na(se) || abs(ci[1] - max(0, auc - qnorm(0.975) * se)) < 1e-12)
  p <- if (!is.na(se) && se > 0) 2 * pnorm(-abs(auc - 0.5) / se) else NA
  if (is.na(se)) ci <- c(NA, NA, NA)

  # Every observed value c as the cut-off "value >= c" ("value <= c" when lower is positive),
  # checked against pROC's coordinates at the threshold between c and its neighbour.
  cuts <- sort(unique(value)); k <- length(cuts)
  co <- coords(r, "all", ret = c("threshold", "sensitivity", "specificity"), transpose = FALSE)
  tab <- t(sapply(seq_len(k), function(i) {
    c0 <- cuts[i]
    if (!lower) {
      th <- if (i == 1) -Inf else (cuts[i - 1] + c0) / 2
      tp <- sum(value[status == 1] >= c0); tn <- sum(value[status == 0] < c0)
    } else {
      th <- if (i == k) Inf else (cuts[i + 1] + c0) / 2
      tp <- sum(value[status == 1] <= c0); tn <- sum(value[status == 0] > c0)
    }
    row <- co[abs(co$threshold - th) < 1e-9 | (is.infinite(th) & co$threshold == th), ]
    stopifnot(nrow(row) == 1, abs(row$sensitivity - tp / n1) < 1e-12,
              abs(row$specificity - tn / n0) < 1e-12)
    c(c0, tp, tn)
  }))
  # Youden's index compared exactly as tp·n0 + tn·n1; on a tie the highest sensitivity.
  score <- tab[, 2] * n0 + tab[, 3] * n1
  best <- which(score == max(score)); best <- best[which.max(tab[best, 2])]
  b <- coords(r, "best", best.method = "youden", ret = c("sensitivity", "specificity"),
              transpose = FALSE)
  stopifnot(any(abs(b$sensitivity - tab[best, 2] / n1) < 1e-12 &
                abs(b$specificity - tab[best, 3] / n0) < 1e-12))
  youden <- function(i) tab[i, 2] / n1 + tab[i, 3] / n0 - 1
  out <<- c(out, paste("R", n1, n0, paste(c(fmt4(c(auc, se, ci[1], ci[3])), fmtp(p),
                                            fmt4(c(tab[best, 1], tab[best, 2] / n1,
                                                   tab[best, 3] / n0, youden(best)))),
                                          collapse = " ")),
            sprintf("C %s", sapply(seq_len(k), function(i)
              paste(fmt4(c(tab[i, 1], tab[i, 2] / n1, tab[i, 3] / n0, youden(i))), collapse = " "))))
}

# Troponin (ng/L) in chest pain: higher in infarction; few ties.
s <- rep(c(1, 0), c(9, 13))
roc_set("TroponinSmall", round(c(rlnorm(9, 4, 0.8), rlnorm(13, 2.8, 0.7)), 1), s)
# BNP rounded to tens: many ties, unusable rows among them.
s <- rbinom(70, 1, 0.4)
roc_set("BnpTies", round(ifelse(s == 1, rnorm(70, 420, 160), rnorm(70, 260, 120)), -1), s,
        junk = list(v = c("abc", "310", "", "12.5"), s = c("1", "2", "1", "")))
# eGFR: lower in kidney disease, so lower values are positive.
s <- rbinom(90, 1, 0.3)
roc_set("EgfrLowerPositive", round(ifelse(s == 1, rnorm(90, 48, 14), rnorm(90, 82, 16))), s,
        lower = TRUE)
# A marker read the wrong way round: AUC below 0.5.
s <- rep(c(1, 0), c(12, 18))
roc_set("WrongDirection", round(ifelse(s == 1, rnorm(30, 3.1, 0.9), rnorm(30, 4.0, 1)), 2), s)
# Every value the same.
roc_set("AllTied", rep(5, 12), rep(c(1, 0), 6))
# Complete separation, lower positive.
roc_set("Separated", c(1.2, 1.5, 2, 2.2, 3, 3.1, 3.3, 4, 4.5, 5), rep(c(1, 0), c(4, 6)),
        lower = TRUE)
# A single case: no DeLong SE.
roc_set("OneCase", c(8.5, 3.2, 4.1, 5.0, 2.2, 6.7), c(1, 0, 0, 0, 0, 0))
# A weak marker: P between 0.001 and 0.05 or above.
s <- rep(c(1, 0), c(18, 22))
roc_set("WeakMarker", round(ifelse(s == 1, rnorm(40, 5.4, 1.2), rnorm(40, 5.0, 1.2)), 1), s)
# CRP (mg/L, one decimal) in 300 patients with suspected sepsis.
s <- rbinom(300, 1, 0.35)
roc_set("CrpLarge", round(ifelse(s == 1, rgamma(300, 3, 0.04), rgamma(300, 2, 0.06)), 1), s)
writeLines(out, "roc.txt")
