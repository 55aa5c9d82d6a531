// GL toolkit sources, included by the unity source.
