#!/usr/bin/python3
"""Asks an X window to close, as a window manager does when its close box is clicked: sends it
WM_DELETE_WINDOW. Under a virtual X server there is no window manager to do it.
    close_window.py WINDOW-ID"""
import sys

from Xlib import X, display
from Xlib.protocol import event

screen = display.Display()
window = screen.create_resource_object("window", int(sys.argv[1]))
window.send_event(event.ClientMessage(
    window=window, client_type=screen.intern_atom("WM_PROTOCOLS"),
    data=(32, [screen.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
screen.sync()
