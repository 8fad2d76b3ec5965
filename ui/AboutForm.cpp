// Placeholder: replaced by the About window.
