#!/bin/bash
# Prepares a machine for printing tests (run as root, after install-deps.sh):
#  - starts the CUPS scheduler when it is not running (directly, no systemd);
#  - installs the capture backend "kuvertix-capture", which stores every job's
#    document unchanged as ${CAPTURE_DIR}/job-<job number>.pdf;
#  - creates the raw queue Kuvertix_Capture on that backend as the default
#    destination (the stored file is exactly the PDF the program submitted);
#  - creates the cups-pdf queue Kuvertix_PDF (the filter chain of a real PDF
#    printer; output in cups-pdf's own folder).
# Safe to run again: every step checks what is already there.
#
# Tests find the stored jobs in KUVERTIX_CAPTURE_DIR, by default
# /var/spool/kuvertix-capture.
set -euo pipefail

CAPTURE_DIR=/var/spool/kuvertix-capture
BACKEND=/usr/lib/cups/backend/kuvertix-capture
CAPTURE_QUEUE=Kuvertix_Capture
PDF_QUEUE=Kuvertix_PDF
PDF_PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd

if [ "$(id -u)" -ne 0 ]; then
  echo "setup-printing.sh: run as root" >&2
  exit 1
fi

scheduler_running() {
  lpstat -r 2>/dev/null | grep -q 'is running'
}

start_scheduler() {
  scheduler_running && return 0
  mkdir -p /run/cups /var/spool/cups /var/cache/cups /var/log/cups
  /usr/sbin/cupsd
  for _ in $(seq 1 100); do
    scheduler_running && return 0
    sleep 0.1
  done
  echo "setup-printing.sh: the CUPS scheduler did not start" >&2
  exit 1
}

install_backend() {
  mkdir -p "$CAPTURE_DIR"
  chmod 0777 "$CAPTURE_DIR"
  local script
  script=$(cat <<EOF
#!/bin/sh
# CUPS backend of the Kuvertix printing tests: stores each job's document.
# Without arguments it describes its device, as CUPS asks backends to.
if [ \$# -eq 0 ]; then
  echo 'direct kuvertix-capture "Unknown" "Kuvertix capture: stores every job as a file"'
  exit 0
fi
dir=$CAPTURE_DIR
tmp="\$dir/.job-\$1.part"
if [ \$# -ge 6 ]; then cat "\$6" > "\$tmp"; else cat > "\$tmp"; fi || exit 1
chmod 0644 "\$tmp"
mv -f "\$tmp" "\$dir/job-\$1.pdf"
exit 0
EOF
)
  if [ ! -f "$BACKEND" ] || [ "$(cat "$BACKEND")" != "$script" ]; then
    printf '%s\n' "$script" > "$BACKEND"
  fi
  # Mode 0700: CUPS runs the backend as root, so it may write anywhere.
  chown root:root "$BACKEND"
  chmod 0700 "$BACKEND"
}

queue_exists() {
  lpstat -p "$1" >/dev/null 2>&1
}

create_queues() {
  if ! queue_exists "$CAPTURE_QUEUE"; then
    # CUPS 2.4 warns that raw queues are deprecated; it still runs them.
    lpadmin -p "$CAPTURE_QUEUE" -v kuvertix-capture:/ -m raw -E 2>&1 | grep -v -i deprecated || true
  fi
  if [ -f "$PDF_PPD" ] && ! queue_exists "$PDF_QUEUE"; then
    lpadmin -p "$PDF_QUEUE" -v cups-pdf:/ -P "$PDF_PPD" -E 2>&1 | grep -v -i deprecated || true
  fi
  for queue in "$CAPTURE_QUEUE" "$PDF_QUEUE"; do
    queue_exists "$queue" || continue
    cupsenable "$queue"
    cupsaccept "$queue"
  done
  lpadmin -d "$CAPTURE_QUEUE"
}

start_scheduler
install_backend
create_queues
queue_exists "$CAPTURE_QUEUE" || { echo "setup-printing.sh: queue $CAPTURE_QUEUE missing" >&2; exit 1; }
echo "setup-printing.sh: default destination $(lpstat -d | sed 's/.*: //'), jobs stored in $CAPTURE_DIR"
