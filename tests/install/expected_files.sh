# Shared by the install checks: the files (and links) an install lays out below the staging
# directory, prefix /usr, one per line and sorted.
#   expected_files CLI_BUILT UDEV_RULES_DIR
expected_files() {
    local cli="$1" udev="$2"
    {
        echo usr/bin/zalvo
        echo usr/lib/zalvo/zalvo
        echo usr/lib/zalvo/Sound.WAV
        if [ "$cli" = 1 ]; then
            echo usr/bin/zalvo-cli
            echo usr/lib/zalvo/zalvo-cli
            echo usr/lib/systemd/system/zalvo-log@.service
            echo usr/share/zalvo/61-zalvo-log.rules
            echo usr/share/zalvo/telegraf-zalvo.conf
            echo usr/share/zalvo/zalvo-log.conf.example
        fi
        echo usr/share/applications/zalvo.desktop
        echo usr/share/icons/hicolor/scalable/apps/zalvo.svg
        for size in 16 22 24 32 48 64 128 256; do
            echo "usr/share/icons/hicolor/${size}x${size}/apps/zalvo.png"
        done
        udev_rule_path "$udev"
    } | LC_ALL=C sort
}

# Where the rule lands below the staging directory for a rule directory relative to the
# prefix /usr or absolute.
udev_rule_path() {
    case "$1" in
        /*) echo "${1#/}/60-zalvo.rules" ;;
        *) echo "usr/$1/60-zalvo.rules" ;;
    esac
}

# The udev rule directory the build was configured with.
configured_udev_dir() {
    sed -n 's/^ZALVO_UDEV_RULES_DIR:[A-Z]*=//p' "$1/CMakeCache.txt"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
