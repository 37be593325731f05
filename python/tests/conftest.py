"""The answers straight from their definitions, for small n: the same facts the C++
tests' oracle (tests/support/oracle.h) holds, by counting and repeated multiplication."""
from math import gcd



def order(g, n):
    if n == 0 or gcd(g, n) != 1:
        return 0
    k, power = 1, g % n
    while power != 1 % n:
        k, power = k + 1, power * g % n
    return k


def units(n):
    return [g for g in range(1, n + 1) if gcd(g, n) == 1] if n else []


def roots(n):
    """g in 1 .. n - 1 whose order is phi(n); none for 0 and 1."""
    phi = len(units(n))
    return [g for g in range(1, n) if order(g, n) == phi]


def carmichael(n):
    return max((order(g, n) for g in units(n)), default=0)
