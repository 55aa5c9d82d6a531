// Quick-start framework sources, included by the unity source.
