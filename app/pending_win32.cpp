// Probes that are not written yet add no rows.
#include "tarrow.h"

int AddDirectXRow() { return 0; }
int AddMemoryRows() { return 0; }
int AddResolutionRow() { return 0; }
int AddColorDepthRow() { return 0; }
int AddGlideRows() { return 0; }
int AddFreeDiskSpaceRows() { return 0; }
int AddSwapFileRows() { return 0; }
int AddCdromAccessModeRow() { return 0; }
int AddNetworkProtocolRows() { return 0; }
int AddMakerTitleRows() { return 0; }
int AddVideoAndMultimediaRows() { return 0; }
