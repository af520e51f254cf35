// Replaced by the command-line tool.
