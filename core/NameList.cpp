// Placeholder: replaced by the names.cfg reader.
