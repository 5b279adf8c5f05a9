/* Prints how many pixels of the pointer's current image show: 0 when the
   program under the pointer hid the cursor. Usage: x11_cursor (on $DISPLAY) */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void)
{
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    int event_base, error_base;
    if (!XFixesQueryExtension(display, &event_base, &error_base)) {
        fprintf(stderr, "no XFIXES extension\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) {
        fprintf(stderr, "no cursor image\n");
        return 1;
    }
    long shown = 0;
    for (long i = 0; i < (long)image->width * image->height; ++i)
        shown += (image->pixels[i] >> 24) != 0;
    printf("%ld\n", shown);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
