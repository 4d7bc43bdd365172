// Anchor of the resource library: the compiled-in pictures are registered by their
// static initialisers when the library is linked whole.
