/* A stand-in libXinerama.so.1 for the end-to-end tests: Wine's X11 driver asks it for the
 * monitors when XRandR is off, and it reports the heads listed in the environment variable
 * DOVA_XINERAMA_HEADS, "x,y,width,height" separated by ";", the first being the primary (Wine
 * makes the first head the primary and puts its top-left corner at (0,0)). An Xvfb screen the
 * size of the heads' union then behaves as a desk of several monitors.
 *
 * Built by the tests: gcc -shared -fPIC -o libXinerama.so.1 xinerama_heads.c */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
  int screen_number;
  short x_org, y_org, width, height;
} XineramaScreenInfo;

typedef struct _XDisplay Display;
typedef int Bool;

static int parse_heads(XineramaScreenInfo* heads, int most) {
  const char* text = getenv("DOVA_XINERAMA_HEADS");
  int count = 0;
  while (text && *text && count < most) {
    int x, y, width, height, used = 0;
    if (sscanf(text, "%d,%d,%d,%d%n", &x, &y, &width, &height, &used) != 4) break;
    if (heads) {
      heads[count].screen_number = count;
      heads[count].x_org = (short)x;
      heads[count].y_org = (short)y;
      heads[count].width = (short)width;
      heads[count].height = (short)height;
    }
    ++count;
    text += used;
    if (*text == ';') ++text;
  }
  return count;
}

Bool XineramaQueryExtension(Display* display, int* event_base, int* error_base) {
  (void)display;
  *event_base = 0;
  *error_base = 0;
  return parse_heads(NULL, 16) > 0;
}

Bool XineramaIsActive(Display* display) {
  (void)display;
  return parse_heads(NULL, 16) > 0;
}

Bool XineramaQueryVersion(Display* display, int* major, int* minor) {
  (void)display;
  *major = 1;
  *minor = 1;
  return 1;
}

/* The caller frees the list with XFree, which is free. */
XineramaScreenInfo* XineramaQueryScreens(Display* display, int* number) {
  (void)display;
  XineramaScreenInfo* heads = malloc(16 * sizeof *heads);
  *number = heads ? parse_heads(heads, 16) : 0;
  if (*number == 0) {
    free(heads);
    return NULL;
  }
  return heads;
}
