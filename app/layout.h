// Window geometry rules of the main window, free of platform calls.
#ifndef TARROW_LAYOUT_H
#define TARROW_LAYOUT_H

// Origin that centres an outer size on the screen; truncates toward zero, so a window
// larger than the screen gets a negative origin.
int CenteredOrigin(int screenSize, int windowSize);

// Widths of the "Component" and "Details" columns for a list of outer width listWidth;
// together they leave 20 pixels for the vertical scroll bar.
int ComponentColumnWidth(int listWidth);
int DetailsColumnWidth(int listWidth);

#endif
