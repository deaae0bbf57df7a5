# An independent reading of an item analysis: psych's alpha for the item-rest correlations,
# facilities and KR-20, and base R for the rest, against the tool's CSVs. Prints each
# difference and exits 1 when there is any.
# Rscript psych_check.R SHEETS.csv KEY.csv ITEMS.csv TEST.csv STUDENTS.csv
suppressPackageStartupMessages(library(psych))
args <- commandArgs(trailingOnly = TRUE)
read <- function(f) read.csv(f, fileEncoding = "UTF-8-BOM", check.names = FALSE, stringsAsFactors = FALSE)
sheets <- read(args[1]); key <- read(args[2]); items <- read(args[3])
test <- read(args[4]); students <- read(args[5])
chosen <- as.matrix(sheets[, -1]); chosen[is.na(chosen)] <- 0
x <- sweep(chosen, 2, key$key, "==") * 1
bad <- 0
near <- function(what, ours, theirs, tol) {
  d <- abs(ours - theirs)
  if (any(is.na(d)) || any(d > tol)) {
    cat(what, ": ours", format(ours), "theirs", format(theirs), "\n")
    bad <<- bad + 1
  }
}
a <- alpha(as.data.frame(x), check.keys = FALSE, warnings = FALSE)
near("facility", items$facility, 100 * a$item.stats$mean, 0.005)
near("discrimination", items$discrimination, a$item.stats$r.drop, 0.005)
near("kr20", test$kr20, a$total$raw_alpha, 0.005)
total <- rowSums(x)
near("point_biserial", items$point_biserial, apply(x, 2, function(i) cor(i, total)), 0.005)
# The upper and lower 27% by number right, ties by name.
ord <- order(-total, sheets$name); n <- nrow(x); g <- max(1, round(0.27 * n))
ul <- (colSums(x[ord[1:g], , drop = FALSE]) - colSums(x[ord[(n - g + 1):n], , drop = FALSE])) / g
near("upper_lower", items$upper_lower, unname(ul), 0.0005)
for (o in 1:4) near(paste0("chose_", o), items[[paste0("chose_", o)]], colSums(chosen == o), 0)
p <- students$percent
near("mean", test$mean, mean(p), 0.005)
near("sd", test$sd, sd(p), 0.005)
near("median", test$median, median(p), 0.005)
near("sem", test$sem, sd(p) * sqrt(1 - a$total$raw_alpha), 0.01)
m2 <- mean((p - mean(p))^2)
near("skewness", test$skewness, mean((p - mean(p))^3) / m2^1.5, 0.0005)
near("kurtosis", test$kurtosis, mean((p - mean(p))^4) / m2^2 - 3, 0.0005)
near("taraz", students$taraz, 1000 * (p - mean(p)) / sd(p) + 5000, 0.5 + 1e-6)
near("rank", students$rank, rank(-p, ties.method = "min"), 0)
if (bad > 0) quit(status = 1)
cat("agreed on", ncol(x), "questions and", n, "students\n")
