# Sourced by the scripts that need a stand-in installation: a throw-away
# folder tree with the two game files at one build's exact sizes, so that
# the programs can run without the game. The game's sizes and the offsets
# the scripts check are written here and nowhere else among them.
#   vn3_standin DIR A|B [stock]
# makes DIR/System/VN3Main.exe and DIR/CONTENT/VN3/Maps/Core_FXBANK.ibt.
# Byte n of each is 0x80 + n % 128: every byte has its top bit set, so any
# write of 00, 20 or text shows. With "stock", each block site of the
# package begins with the 16 bytes a stock block begins with, and the fill
# after them makes it a synthetic stock block: never the game's own data.

# Build A's VN3Main.exe is 6438912 bytes (0x624000), build B's 6455296
# (0x628000); the packages are 0x7CE000 and 0x826800.
declare -gA vn3_exe_size=([A]=6438912 [B]=6455296)
declare -gA vn3_package_size=([A]=8183808 [B]=8546304)
vn3_exe=System/VN3Main.exe
vn3_package=CONTENT/VN3/Maps/Core_FXBANK.ibt

# Where the actions write: the frob highlight's three bytes (1, 2), the
# loot percentage's byte (3, 4) in the executable; the arrow-trail block
# (5 to 7) and the loot-glint block (8, 9) in the package.
declare -gA vn3_frob_sites=([A]="0x546344 0x546354 0x546364" [B]="0x54A33C 0x54A34C 0x54A35C")
declare -gA vn3_loot_site=([A]=0x57CEE1 [B]=0x5814B9)
declare -gA vn3_trail_site=([A]=0x11B040 [B]=0x11B840)
declare -gA vn3_glint_site=([A]=0x2C5040 [B]=0x31D840)
vn3_trail_length=464
vn3_glint_length=2752

vn3_standin() {
  local dir=$1 build=$2 stock=${3:-}
  if [[ -z ${vn3_exe_size[$build]:-} ]]; then
    echo "vn3_standin: no build $build (A or B)" >&2
    return 2
  fi
  mkdir -p "$dir/System" "$dir/CONTENT/VN3/Maps"
  vn3_fill "$dir/$vn3_package" "${vn3_package_size[$build]}"
  head -c "${vn3_exe_size[$build]}" "$dir/$vn3_package" >"$dir/$vn3_exe"
  [[ $stock != stock ]] || vn3_stock_leads "$dir/$vn3_package" "$build"
}

# FILE becomes SIZE bytes of the fill. Doubling a 128-byte seed makes
# megabytes in a moment.
vn3_fill() {
  local file=$1 size=$2
  printf "$(printf '\\%o' {128..255})" >"$file"
  while (($(stat -c %s "$file") < size)); do
    cat "$file" "$file" >"$file.double"
    mv "$file.double" "$file"
  done
  truncate -s "$size" "$file"
}

# The 16 bytes a stock block begins with, at both block sites of FILE, a
# package of BUILD.
vn3_stock_leads() {
  printf '\x00\x00\x00\x00\x00\x10\x00\x21\xF0\x31\x43\x08\x55\xD5\xB5\x2D' |
    dd of="$1" bs=16 seek=$((vn3_trail_site[$2])) oflag=seek_bytes conv=notrunc status=none
  printf '\x01\x00\x00\x00\x55\x55\x55\x55\x01\x00\x00\x00\x55\x55\x55\x55' |
    dd of="$1" bs=16 seek=$((vn3_glint_site[$2])) oflag=seek_bytes conv=notrunc status=none
}

# Prints COUNT bytes of FILE from OFFSET on.
vn3_bytes() {
  dd if="$1" skip=$(($2)) count="$3" iflag=skip_bytes,count_bytes status=none
}

# Prints the trail or glint block of FILE, a package of BUILD.
vn3_block() {
  case $3 in
    trail) vn3_bytes "$1" "${vn3_trail_site[$2]}" "$vn3_trail_length" ;;
    glint) vn3_bytes "$1" "${vn3_glint_site[$2]}" "$vn3_glint_length" ;;
  esac
}
