"""Primitive roots modulo every n below 2**64.

Every call takes integers (anything with __index__, so bool and numpy integers too): a
value that is not one raises TypeError, one outside 0 to 2**64 - 1 raises ValueError.
Long work releases the GIL and stops with KeyboardInterrupt on Ctrl-C.
"""
from itertools import chain as _chain

from tamsel import _tamsel
from tamsel._tamsel import (
    Modulus,
    __version__,
    carmichael_lambda,
    count_primitive_roots,
    has_primitive_root,
    is_primitive_root,
    least_primitive_root,
    multiplicative_order,
    primitive_roots_array,
    totient,
)

__all__ = [
    "Modulus",
    "carmichael_lambda",
    "count_primitive_roots",
    "has_primitive_root",
    "is_primitive_root",
    "least_primitive_root",
    "multiplicative_order",
    "primitive_roots",
    "primitive_roots_array",
    "totient",
]


def primitive_roots(n, start=0, stop=None, reverse=False):
    """A lazy iterator over the primitive roots r of n with start <= r < stop.

    stop None means n. Ascending, or descending with reverse=True. The arguments are
    checked at once; the roots are found as the iterator is read, a chunk at a time.

    >>> list(primitive_roots(13, reverse=True))
    [11, 7, 6, 2]
    """
    chunks = _tamsel._RootChunks(n, start, stop, bool(reverse))
    return _chain.from_iterable(iter(chunks.next, []))
