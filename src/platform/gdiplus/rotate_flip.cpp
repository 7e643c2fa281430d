// Placeholder until RotateFlip lands.
