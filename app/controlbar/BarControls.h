#pragma once
// The control ids of the control bar, as its template numbers them.
namespace BarControl {
enum : int {
    AutoOffline = 213,
    StateText = 463,
    Warning = 464,
    Clean = 300,
    Start = 301,
    Pause = 302,
    Delete = 303,
    JogUp = 304,
    JogDown = 305,
    JogLeft = 306,
    JogRight = 307,
    Knife = 206,
    Fan = 207,
};
}
