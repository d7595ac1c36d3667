# Turns NEWS into a Debian changelog: each release heading
# "<version> (<YYYY-MM-DD>)" starts an entry and the indented lines under it
# are the entry's text, signed by `maintainer` at noon UTC of that date.
#   awk -v package=P -v maintainer=M -f news-to-changelog.awk NEWS > changelog
# With -v date_of=<version> it prints only the date NEWS gives that version
# (nothing when it has none).
function rfc2822(day,    command, line) {
  command = "LC_ALL=C date -u -R -d '" day " 12:00'"
  command | getline line
  close(command)
  return line
}
function close_entry() {
  if (version != "" && date_of == "") printf "\n -- %s  %s\n\n", maintainer, rfc2822(date)
}
/^[0-9][^ ]* \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/ {
  close_entry()
  version = $1
  date = substr($2, 2, 10)
  if (date_of == version) print date
  else if (date_of == "") printf "%s (%s) unstable; urgency=medium\n\n", package, version
  next
}
version != "" && date_of == "" && /^  / { print }
END { close_entry() }
