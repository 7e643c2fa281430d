// Placeholder until LockBits lands.
