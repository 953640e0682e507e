#!/usr/bin/python3
# tray_selection.py: exits 0 when an XEmbed tray owns the tray selection of the display's default
# screen, else 1. An app asks exactly this at its start to decide whether there is a tray.
import ctypes
import ctypes.util
import sys

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetSelectionOwner.restype = ctypes.c_ulong
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit(1)
selection = f"_NET_SYSTEM_TRAY_S{x11.XDefaultScreen(display)}".encode()
owner = x11.XGetSelectionOwner(display, x11.XInternAtom(display, selection, 0))
x11.XCloseDisplay(display)
sys.exit(0 if owner else 1)
