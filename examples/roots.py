#!/usr/bin/env python3
"""The roots of a few numbers through the C interface, with ctypes.

Run it with the shared library where the loader finds it, or name it:
    TAMSEL_LIBRARY=/usr/local/lib/libtamsel.so.2 python3 roots.py
"""
import ctypes
import os

lib = ctypes.CDLL(os.environ.get("TAMSEL_LIBRARY", "libtamsel.so.2"))
lib.tamsel_version.restype = ctypes.c_char_p
lib.tamsel_least_primitive_root.argtypes = [ctypes.c_uint64]
lib.tamsel_least_primitive_root.restype = ctypes.c_uint64
lib.tamsel_count_primitive_roots.argtypes = [ctypes.c_uint64]
lib.tamsel_count_primitive_roots.restype = ctypes.c_uint64
lib.tamsel_primitive_roots.argtypes = [
    ctypes.c_uint64, ctypes.POINTER(ctypes.c_uint32), ctypes.c_size_t,
    ctypes.POINTER(ctypes.c_size_t)]
lib.tamsel_primitive_roots.restype = ctypes.c_int
TAMSEL_OK, TAMSEL_TOO_SMALL, TAMSEL_NO_MEMORY = 0, 2, 3
LARGEST_LISTED = 2**32 - 1


def checked(n, largest=2**64 - 1):
    """n as the C interface takes it: ctypes would silently keep only its low bits."""
    if not isinstance(n, int) or not 0 <= n <= largest:
        raise ValueError(f"{n!r} is out of range (0 to {largest})")
    return n


def least_primitive_root(n):
    return lib.tamsel_least_primitive_root(checked(n))


def count_primitive_roots(n):
    return lib.tamsel_count_primitive_roots(checked(n))


def primitive_roots(n):
    """Every root of n, ascending: asks the count, then fills an array of that size."""
    checked(n, LARGEST_LISTED)
    count = ctypes.c_size_t(0)
    status = lib.tamsel_primitive_roots(n, None, 0, ctypes.byref(count))
    if status not in (TAMSEL_OK, TAMSEL_TOO_SMALL):
        raise MemoryError(n) if status == TAMSEL_NO_MEMORY else ValueError(n)
    roots = (ctypes.c_uint32 * count.value)()
    if lib.tamsel_primitive_roots(n, roots, count.value, ctypes.byref(count)) != TAMSEL_OK:
        raise MemoryError(n)
    return list(roots)


print("tamsel", lib.tamsel_version().decode())
print("7:", *primitive_roots(7))
roots = primitive_roots(1000003)
print("1000003:", len(roots), "roots, the first", *roots[:5])
print("2147483647:", count_primitive_roots(2147483647), "roots, the least",
      least_primitive_root(2147483647))
for n in (2**64 - 2**32 + 1, 2**61 - 1, 2**64 - 59):
    print(f"least root of {n}: {least_primitive_root(n)}")
for wrong in (-1, 2**64, 2**32 + 15):
    try:
        primitive_roots(wrong)
    except ValueError as error:
        print("refused:", error)
