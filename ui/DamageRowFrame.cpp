// Placeholder: replaced by the shared damage row frame.
