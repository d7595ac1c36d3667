# Where an installation puts the game, relative to the prefix: the folders
# Debian gives a game, so that `cmake --install` into any prefix and the
# package (prefix /usr) lay out the same tree.
set(VD_LAUNCHER_DIR games)                   # the launcher, on the PATH of a Debian session
set(VD_PROGRAM_DIR libexec/vessel-drift)     # the program, which only the launcher starts
set(VD_DATA_DIR share/games/vessel-drift)    # rsrc/, the launcher's working directory
