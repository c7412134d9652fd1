# Sourced by the set-up commands once the packages are installed. Root in an
# ordinary user's checkout (su, or sudo out of habit) hands the rest of the
# command to the checkout's owner, so that no build folder ends up owned by
# root and locked against the owner's next build; build folders root made
# earlier are given back first. Expects `root` (the checkout) and the
# command's own arguments.
owner_uid=$(stat -c %u "$root")
if [ "$(id -u)" -eq 0 ] && [ "$owner_uid" -ne 0 ]; then
    if owner_name=$(id -nu "$owner_uid" 2>/dev/null); then
        echo "This checkout belongs to $owner_name: building as $owner_name."
        if [ -d "$root/build" ]; then
            chown -R "$owner_uid:$(stat -c %g "$root")" "$root/build"
        fi
        exec runuser -u "$owner_name" -- "$root/scripts/$(basename "$0")" "$@"
    fi
    echo "warning: the checkout's owner (uid $owner_uid) has no account here; building as root" >&2
fi
