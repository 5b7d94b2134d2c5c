// The rows of the network protocols found, always TCP/IP before IPX.
#include "probes.h"
#include "../base/tarrow.h"

void ReportNetworkProtocols(bool hasTcpIp, bool hasIpx)
{
    if (hasTcpIp)
        AddReportRow("TCP/IP Protocol", "Installed", IconNetwork);
    if (hasIpx)
        AddReportRow("IPX/SPX Protocol", "Installed", IconNetwork);
}
