#pragma once

class ConnectionView;
class SerialLink;

// Highest port number the search knows (COM1 to COM16).
inline constexpr int PortCount = 16;

// The saved port "CommPort" as a whole number 0 to 16 (0: none, search all).
// defaultPort when the key is missing; a stored value that is not a whole number
// from 0 to 16 (damaged or edited by hand) reads as 0, so the search scans.
int SavedCommPort(int defaultPort);

// Searches for the instrument and shows the outcome. A saved port is the only
// one probed; without one, ports 1 to 16 are all probed and the highest that
// answers wins. When found, the port is saved, stays open and view shows it
// connected; otherwise the port stays closed, nothing is saved and view shows
// not connected. A call made while a search runs (from an event handled during
// its waits) does nothing: a second search would close and open the ports
// under the first one.
void ConnectDevice(SerialLink &link, ConnectionView &view);
