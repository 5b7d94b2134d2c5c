// The network-protocol rows: a protocol is installed when a socket of its kind can be
// created through Windows Sockets 1.1. Nothing is bound or sent.
#include "probes.h"
#include "../base/tarrow.h"

#include <winsock.h>

#ifndef NSPROTO_IPX
#define NSPROTO_IPX 1000 // the IPX protocol of the IPX address family
#endif

static bool CanCreateSocket(int family, int type, int protocol)
{
    SOCKET probe = socket(family, type, protocol);
    if (probe == INVALID_SOCKET)
        return false;
    closesocket(probe);
    return true;
}

int AddNetworkProtocolRows()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return 0;
    bool hasTcpIp = CanCreateSocket(AF_INET, SOCK_STREAM, 0);
    bool hasIpx = CanCreateSocket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
    ReportNetworkProtocols(hasTcpIp, hasIpx);
    WSACleanup();
    return 1;
}
