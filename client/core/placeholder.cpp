// Replaced as the client grows.
