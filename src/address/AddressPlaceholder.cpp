// Placeholder until the postal-code directory lands.
