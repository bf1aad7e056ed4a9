# The number forms of the details boxes, from the value's 15 significant digits rounded half
# away from zero (as the program shows them); "-" for an empty box.
fmtd <- function(v, places) {
  vapply(v, function(x) {
    if (is.na(x) || !is.finite(x)) return("-")
    s <- sprintf("%.14e", abs(x))
    digits <- gsub("[.]", "", sub("e.*", "", s))
    e <- as.integer(sub(".*e", "", s))
    keep <- e + 1 + places
    k <- if (keep >= 15) as.numeric(digits) * 10^(keep - 15)
         else if (keep < 0) 0
         else as.numeric(substr(digits, 1, keep)) +
              (keep < 15 && as.integer(substr(digits, keep + 1, keep + 1)) >= 5)
    whole <- k %/% 10^places; frac <- k %% 10^places
    sign <- if (x < 0 && k > 0) "-" else ""
    sprintf("%s%.0f.%0*.0f", sign, whole, places, frac)
  }, "")
}
fmt4 <- function(v) fmtd(v, 4)
fmtp <- function(p) ifelse(is.na(p), "-", ifelse(p < 0.001, "<0.001", fmtd(p, 3)))
