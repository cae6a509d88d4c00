// Keeps the Qt library target non-empty until its first view lands.
