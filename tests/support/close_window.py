#!/usr/bin/env python3
"""Asks an X window to close, as a window manager does when the operator closes it: sends the
window a WM_DELETE_WINDOW message (the X server of the tests runs no window manager).
    close_window.py WINDOW-ID
"""
import ctypes
import ctypes.util
import sys

CLIENT_MESSAGE = 33


class ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):  # XEvent: every event fits 24 longs
    _fields_ = [("client", ClientMessageEvent), ("pad", ctypes.c_long * 24)]


x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(Event)]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("close_window.py: cannot open the display")
window = int(sys.argv[1], 0)
event = Event()
event.client.type = CLIENT_MESSAGE
event.client.window = window
event.client.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", False)
event.client.format = 32
event.client.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", False)
if not x11.XSendEvent(display, window, False, 0, ctypes.byref(event)):
    sys.exit("close_window.py: the message could not be sent")
x11.XCloseDisplay(display)  # flushes the message to the server
