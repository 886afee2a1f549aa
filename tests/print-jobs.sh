# Shell functions for the scripts that check what a test program printed on the CUPS "PDF" queue
# (sourced). The queue and its folder are the machine's: other runs print into it at the same time
# and may set it up anew with another folder while a job is spooled, so a run tags its job titles
# (KV_PRINT_TAG) and looks in every folder the queue named.

# A tag for this run's job titles, exported for the test program: the second and the process, in
# 12 characters (the queue's file names keep 31 characters of a title).
print_tag() {
  KV_PRINT_TAG=$(printf '%x%04x' "$(date +%s)" $(($$ % 65536)))
  export KV_PRINT_TAG
}

# The folder the queue writes into now (cups-pdf's configuration), or nothing.
queue_folder() { sed -n 's/^Out //p' /etc/cups/cups-pdf.conf 2>/dev/null | head -n 1; }

# Waits (60 s at most) until the queue has finished every job it had to print when called (held
# ones, as after a crash of the queue's program, never finish): once a program has ended, every
# job it sent is then written. False on time-out.
queue_drain() {
  ids() {
    ipptool -tv ipp://localhost/printers/PDF /usr/share/cups/ipptool/get-jobs.test 2>/dev/null |
      awk '/job-id \(integer\)/ { id = $NF } /job-state \(enum\) = (pending|processing)$/ { print id }' |
      sort -n
  }
  last=$(ids | tail -n 1)
  [ -n "$last" ] || return 0
  for _ in $(seq 300); do
    first=$(ids | head -n 1)
    { [ -z "$first" ] || [ "$first" -gt "$last" ]; } && return 0
    sleep 0.2
  done
  echo "the queue did not finish its jobs"
  return 1
}

# Every complete PDF of this run's jobs in the folders named by $folders and the queue's folder
# now, one a line: cups-pdf names them "<title>-<tag>", filler, "-job_<number>.pdf".
run_jobs() {
  folders="$folders $(queue_folder)"
  for folder in $folders; do
    find "$folder" -maxdepth 1 -name "*-$KV_PRINT_TAG*-job_*.pdf" 2>/dev/null
  done | sort -u | while read -r pdf; do
    pdfinfo "$pdf" >/dev/null 2>&1 && echo "$pdf"
  done
}

# "<title> <pages>" for every PDF of run_jobs, sorted: what the run printed.
run_job_pages() {
  run_jobs | while read -r pdf; do
    title=$(basename "$pdf" | sed "s/-$KV_PRINT_TAG.*//")
    echo "$title $(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"
  done | sort
}

# Checks that the run printed exactly what $1 lists ("<title> <pages>" a line), nothing more: a
# job the program should not have sent fails, whatever its title. Waits (60 s at most) for every
# title listed, then until the queue has finished what it held. False when they differ.
check_run_jobs() {
  want=$(echo "$1" | sort)
  for _ in $(seq 300); do
    have=$(run_job_pages | cut -d' ' -f1)
    [ -z "$(echo "$want" | cut -d' ' -f1 | grep -vxF "$have")" ] && break
    sleep 0.2
  done
  queue_drain
  printed=$(run_job_pages)
  [ "$printed" = "$want" ] && return 0
  echo "the run printed (title, pages):"; echo "$printed" | sed 's/^/  /'
  echo "expected:"; echo "$want" | sed 's/^/  /'
  return 1
}

# The PDF of this run's job titled $1 (the last one when there are more).
run_job() { run_jobs | grep -F -- "/$1-$KV_PRINT_TAG" | tail -n 1; }
