# Reference values for analyseSurvival (tests/survival/survival_test.cpp). Run once:
#   Rscript survival_reference.R > survival_reference.txt
# Each set is given as the texts of the three grid columns; the rows the analysis uses are
# picked by the same rules (time a number >= 0, outcome 1 or 0, group a number; no group
# where others have one: left out), then survfit, survdiff and coxph run on them. Every
# expected value is written as the panel shows it: four decimals half away from zero from the
# value's 15 significant digits, P as "<0.001" or three decimals, "_" for an empty text.
suppressPackageStartupMessages(library(survival))
options(digits = 15, warn = -1)

half_away <- function(x, d) {
  v <- as.numeric(sprintf("%.15g", x))
  a <- abs(v) * 10^d
  r <- floor(a) + ((a - floor(a)) >= 0.5 - 1e-6)
  s <- sprintf(paste0("%.", d, "f"), sign(v) * r / 10^d)
  sub("^-(0\\.0+)$", "\\1", s)
}
fmt4 <- function(x) ifelse(is.finite(x), half_away(x, 4), "_")
fmtp <- function(p) ifelse(!is.finite(p), "_", ifelse(p < 0.001, "<0.001", half_away(p, 3)))
fmtmed <- function(x) ifelse(is.na(x), "未达到", fmt4(x))
plain <- function(x) format(x, scientific = FALSE, trim = TRUE)
cells <- function(x) paste(ifelse(x == "", "_", x), collapse = " ")

num <- function(text) suppressWarnings(as.numeric(text))

emit <- function(name, time, status, group = rep("", length(time)), tstar = "") {
  cat("set", name, if (tstar == "") "_" else tstar, "\n")
  cat("time", cells(time), "\n")
  cat("status", cells(status), "\n")
  cat("codes", cells(group), "\n")
  blank <- time == "" & status == "" & group == ""
  tn <- num(time); sn <- num(status); gn <- num(group)
  ok <- !blank & !is.na(tn) & tn >= 0 & !is.na(sn) & sn %in% c(0, 1)
  junk <- ok & group != "" & is.na(gn)
  withg <- ok & !junk & !is.na(gn)
  grouped <- any(withg)
  use <- if (grouped) withg else ok & !junk & group == ""
  cat("leftout", sum(!blank) - sum(use), "\n")
  d <- data.frame(time = tn[use], status = sn[use], g = if (grouped) gn[use] else 1)
  codes <- sort(unique(d$g))
  if (length(codes) > 8) {
    cat("logrank _ _ _\nend\n")
    return(invisible())
  }
  labels <- if (grouped) paste0("组", as.character(codes)) else "全部"
  k <- length(codes)
  fit <- if (k > 1) survfit(Surv(time, status) ~ factor(g), data = d) else
    survfit(Surv(time, status) ~ 1, data = d)
  tab <- summary(fit)$table
  if (k == 1) tab <- matrix(tab, nrow = 1, dimnames = list(NULL, names(tab)))

  rate <- matrix("_", k, 3)
  if (!is.na(num(tstar)) && num(tstar) >= 0) for (i in 1:k) {
    one <- if (k > 1) fit[i] else fit
    s <- tryCatch(summary(one, times = as.numeric(tstar)), error = function(e) NULL)
    if (!is.null(s) && length(s$surv) == 1)
      rate[i, ] <- c(fmt4(s$surv), fmt4(s$lower), fmt4(s$upper))
  }

  obs <- expd <- rep("_", k)
  chi <- c("_", "_", "_")
  cox <- matrix("_", k, 4)
  if (k > 1) {
    # survdiff stops on a singular variance; its fitter still gives O and E then.
    sd <- tryCatch(survdiff(Surv(time, status) ~ factor(g), data = d), error = function(e) NULL)
    parts <- survival:::survdiff.fit(aeqSurv(Surv(d$time, d$status)), factor(d$g), rep(1, nrow(d)), 0)
    obs <- plain(parts$observed); expd <- fmt4(parts$expected)
    kept <- sum(parts$expected > 0)
    if (!is.null(sd) && kept >= 2)
      chi <- c(fmt4(sd$chisq), plain(kept - 1), fmtp(pchisq(sd$chisq, kept - 1, lower.tail = FALSE)))
    ev <- tapply(d$status, factor(d$g, codes), sum)
    if (ev[1] > 0) {
      cf <- coxph(Surv(time, status) ~ factor(g), data = d)
      ci <- summary(cf)$conf.int; co <- summary(cf)$coefficients
      # Without the groups that have no event: the limit their infinite estimates reach.
      sub <- coxph(Surv(time, status) ~ factor(g), data = d[d$g %in% codes[ev > 0], ])
      cs <- summary(sub)$conf.int
      for (i in 2:k) if (ev[i] > 0) {
        cox[i, ] <- c(fmt4(ci[i - 1, 1]), fmt4(ci[i - 1, 3]), fmt4(ci[i - 1, 4]), fmtp(co[i - 1, 5]))
        j <- which(codes[ev > 0] == codes[i]) - 1
        same <- all(cox[i, 1:3] == fmt4(cs[j, c(1, 3, 4)]))
        if (!same) cat("# full and reduced fits differ for", labels[i], "\n")
      }
      if (any(ev == 0)) cat("# coxph full fit iterations", cf$iter, "\n")
    }
  }
  for (i in 1:k)
    cat("group", labels[i], tab[i, "records"], tab[i, "events"], fmtmed(tab[i, "median"]),
        fmtmed(tab[i, "0.95LCL"]), fmtmed(tab[i, "0.95UCL"]), rate[i, ], obs[i], expd[i],
        cox[i, ], "\n")
  cat("logrank", chi, "\n")

  # The life table: the first, a middle and the last row of each group.
  s <- summary(fit, censored = TRUE)
  strata <- if (k > 1) as.integer(s$strata) else rep(1, length(s$time))
  for (i in 1:k) {
    rows <- which(strata == i)
    for (r in unique(rows[c(1, ceiling(length(rows) / 2), length(rows))])) {
      cat("life", r - 1, labels[i], fmt4(s$time[r]), s$n.risk[r], s$n.event[r], s$n.censor[r],
          fmt4(s$surv[r]), fmt4(s$std.err[r]), fmt4(s$lower[r]), fmt4(s$upper[r]), "\n")
    }
  }
  cat("end\n")
}

# Two arms followed in whole months: many ties, a third censored, t* inside both curves.
set.seed(20240611)
n <- 60; arm <- rep(1:2, each = n / 2)
ev <- ceiling(rexp(n, ifelse(arm == 1, 1 / 14, 1 / 24)))
cens <- ceiling(runif(n, 6, 48))
emit("ties", as.character(pmin(ev, cens)), as.character(as.integer(ev <= cens)),
     as.character(arm), "12")

# Heavy censoring (about 70%): the second arm's median is not reached, t* = 24.5.
set.seed(7)
n <- 80; arm <- rep(1:2, each = n / 2)
ev <- round(rexp(n, ifelse(arm == 1, 1 / 30, 1 / 150)), 1)
cens <- round(runif(n, 2, 40), 1)
emit("heavy", as.character(pmin(ev, cens)), as.character(as.integer(ev <= cens)),
     as.character(arm), "24.5")

# Three groups coded 1, 2.5 and 4; t* beyond the shortest group's last time.
set.seed(303)
g <- rep(c(1, 2.5, 4), times = c(30, 25, 35))
ev <- round(rweibull(90, 1.3, ifelse(g == 1, 20, ifelse(g == 2.5, 12, 8))), 2)
cens <- round(runif(90, 5, ifelse(g == 4, 18, 45)), 2)
emit("three", as.character(pmin(ev, cens)), as.character(as.integer(ev <= cens)),
     as.character(g), "30")

# One group: no group column at all; days with two decimals.
set.seed(11)
ev <- round(rgamma(45, 2, 1 / 90), 2); cens <- round(runif(45, 30, 500), 2)
emit("single", as.character(pmin(ev, cens)), as.character(as.integer(ev <= cens)), tstar = "100")

# Tiny groups: one of a single row, one of two, beside a group of twenty.
set.seed(5)
ev <- round(rexp(20, 1 / 10), 1); cens <- round(runif(20, 3, 30), 1)
emit("tiny", c(as.character(pmin(ev, cens)), "4.2", "3.1", "8"),
     c(as.character(as.integer(ev <= cens)), "1", "1", "0"),
     c(rep("1", 20), "2", "3", "3"), "5")

# A group without events: its hazard ratio is infinite, the others' are the limit.
set.seed(42)
g <- rep(1:3, each = 15)
ev <- round(rexp(45, 1 / 12), 1); cens <- round(runif(45, 4, 36), 1)
st <- as.integer(ev <= cens); st[g == 3] <- 0L
emit("noevent", as.character(pmin(ev, cens)), as.character(st), as.character(g), "10")

# Curves sitting at 0.5: group 1 halves at time 5 and drops at 7 (median the midpoint 6);
# group 2 halves at 3 and is censored after (median 3, as R's table gives it).
emit("halfway", c("1", "2", "3", "4", "5", "7", "8", "9", "10", "11",
                  "1", "2", "3", "5", "6", "7"),
     c("1", "1", "1", "1", "1", "1", "1", "0", "1", "0", "1", "1", "1", "0", "0", "0"),
     c(rep("1", 10), rep("2", 6)), "6")

# The reference group has no event: no hazard ratio at all.
emit("refnone", c("5", "8", "12", "20", "3", "4", "6", "9", "11"),
     c("0", "0", "0", "0", "1", "1", "0", "1", "1"),
     c("1", "1", "1", "1", "2", "2", "2", "2", "2"), "7")

# Cells the rules leave out: negative and non-numeric times, outcomes 2 and 0.5, a group
# that is text, rows without a group, a row that is empty throughout.
emit("leftout", c("3", "-1", "abc", "5", "6", "7", "", "8", "9", "10", "2", "4", "12", "15"),
     c("1", "1", "1", "2", "0.5", "1", "", "1", "0", "1", "1", "0", "1", "1"),
     c("1", "1", "1", "1", "2", "x", "", "", "1", "2", "2", "1", "2", "2"), "-3")

# Nine groups: nothing is analysed.
emit("nine", as.character(1:18), rep(c("1", "0"), 9), as.character(rep(1:9, each = 2)), "5")

# Every event at one time, every row an event: S falls to 0, no variance for any test.
emit("onetime", rep("5", 6), rep("1", 6), c("1", "1", "1", "2", "2", "2"), "5")

# Times 0.0001 apart at 20000 days, which R's survival functions take as one time.
emit("close", c("20000.0001", "20000.0002", "20001", "20002.5", "20003", "20003.0001",
                "20005", "20007", "20010", "20012"),
     c("1", "1", "0", "1", "1", "1", "0", "1", "1", "0"), tstar = "20003")
