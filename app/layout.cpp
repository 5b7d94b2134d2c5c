// Window geometry rules of the main window.
#include "layout.h"

int CenteredOrigin(int screenSize, int windowSize)
{
    return (screenSize - windowSize) / 2;
}

int ComponentColumnWidth(int listWidth)
{
    return listWidth / 3 - 2;
}

int DetailsColumnWidth(int listWidth)
{
    return listWidth - ComponentColumnWidth(listWidth) - 20;
}
