"""Drawing code for the program's pictures: a small anti-aliasing canvas, a stroke font, the
Windows picture file writers and the pictures themselves."""
