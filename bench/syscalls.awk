# Reads the log of `strace -y` (one process, no -f) of a benchmark session
# and counts its system calls per step: start-up, 1 to 9, quit. A key read
# (a one-byte read from the terminal) ends the step it is made in; action 1
# also reads the answer to its colour question. Prints a row per step, and
# one for the whole session:
#   row STEP CALLS GAME_BYTES_READ GAME_BYTES_WRITTEN SCREEN/KEYS/GAME/OTHER
# then which calls touch the game files and which the files the program
# makes. A log without key reads (a dd's) is all start-up.
BEGIN {
  n = split("start-up 1 1 2 3 4 5 6 7 8 9 quit", step, " ")
  k = 1
  for (i = 1; i <= n; i++) if (!(step[i] in seen)) { seen[step[i]] = 1; order[++steps] = step[i] }
  split("read pread64 readv preadv preadv2", r, " ")
  for (i in r) reads[r[i]] = 1
  split("write pwrite64 writev pwritev pwritev2", w, " ")
  for (i in w) writes[w[i]] = 1
}

/^(\+\+\+|---) / { next }

{
  name = substr($0, 1, index($0, "(") - 1)
  # The result follows the last " = "; the first argument, a descriptor,
  # carries its file's name in angle brackets.
  rest = $0
  while ((i = index(rest, " = ")) > 0) rest = substr(rest, i + 3)
  split(rest, result, " ")
  first = substr($0, length(name) + 2)
  sub(/[,)].*/, "", first)
  now = step[k]
  calls[now]++

  if (first ~ /^[0-9]+<\/dev\/(pts\/[0-9]+|tty)>$/ || result[1] ~ /<\/dev\/tty>$/) {
    kind = (name in writes) ? "screen" : "keys"
  } else if ($0 ~ /VN3Main\.exe|Core_FXBANK\.ibt/) {
    kind = "game"
    game[name]++
    if (first ~ /(VN3Main\.exe|Core_FXBANK\.ibt)>$/ && result[1] ~ /^[0-9]+$/) {
      if (name in reads) rd[now] += result[1]
      if (name in writes) wr[now] += result[1]
    }
  } else if (name == "rt_sigaction") {
    kind = "keys"  # the handlers that put the terminal back
  } else {
    kind = "other"
    if ($0 ~ /payload|Shaders/) made[name]++
  }
  count[now, kind]++

  if (name == "read" && kind == "keys" && $0 ~ /, 1\) += 1$/ && k < n) k++
}

# Calls by name, the most frequent first.
function byCount(calls,   name, line, cmd, out) {
  cmd = "sort -k2,2nr -k1,1 | awk '{ printf \"%s%s %s\", (NR > 1 ? \", \" : \"\"), $1, $2 }'"
  for (name in calls) print name, calls[name] | cmd
  close(cmd)
}

END {
  split("screen keys game other", kinds, " ")
  for (i = 1; i <= steps; i++) {
    s = order[i]
    if (!(s in calls)) continue
    line = ""
    for (j = 1; j <= 4; j++) {
      line = line (j > 1 ? "/" : "") (count[s, kinds[j]] + 0)
      total[kinds[j]] += count[s, kinds[j]]
    }
    printf "row %s %d %d %d %s\n", s, calls[s], rd[s], wr[s], line
    all += calls[s]; allRd += rd[s]; allWr += wr[s]
  }
  printf "row session %d %d %d %d/%d/%d/%d\n", all, allRd, allWr,
    total["screen"], total["keys"], total["game"], total["other"]
  printf "calls on the game files, by descriptor or name: "
  byCount(game)
  printf "\ncalls on the shader and stock files the program makes: "
  byCount(made)
  print ""
}
