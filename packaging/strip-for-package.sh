#!/bin/sh
# The package's strip: also the compiler's and the C library's .comment notes, which plain strip
# keeps.
exec strip --remove-section=.comment "$@"
