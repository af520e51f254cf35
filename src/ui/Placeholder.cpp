// Replaced by the Qt layer.
