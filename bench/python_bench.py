"""The Python package's calls timed beside the library's own (their times given on the
command line, from library_bench) and, where installed, sympy; prints markdown rows.
    python_bench.py PRIMES_FILE C_NS_PER_PRIME CPP_MS_FOR_1000003"""
import sys
import time

import tamsel


def median_seconds(f, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        f()
        times.append(time.perf_counter() - start)
    return sorted(times)[runs // 2]


def loop(iterator):
    for _ in iterator:
        pass


def main():
    primes = [int(line) for line in open(sys.argv[1], encoding="ascii")]
    c_ns, cpp_ms = float(sys.argv[2]), float(sys.argv[3])
    least = median_seconds(lambda: [tamsel.least_primitive_root(p) for p in primes])
    least_ns = least / len(primes) * 1e9
    print("| Python workload | time | beside |\n|---|---|---|")
    print(f"| `least_primitive_root`, {len(primes)} random primes in [2^30, 2^31) | "
          f"{least_ns:.0f} ns per prime | {least_ns / c_ns:.2f}× the C call ({c_ns:.0f} ns) |")
    try:
        from sympy.ntheory import primitive_root
        some = primes[:10000]  # sympy takes tens of microseconds each
        sympy_ns = median_seconds(lambda: [primitive_root(p) for p in some], 3) / len(some) * 1e9
        print(f"| sympy `primitive_root`, the first {len(some)} of them | {sympy_ns:.0f} ns per "
              f"prime | {sympy_ns / least_ns:.0f}× the package's time |")
    except ImportError:
        print("| sympy `primitive_root` | not installed | |")
    array_ms = median_seconds(lambda: tamsel.primitive_roots_array(1000003)) * 1e3
    print(f"| `primitive_roots_array(1000003)` | {array_ms:.2f} ms | "
          f"{array_ms / cpp_ms:.2f}× C++ `primitive_roots(1000003)` ({cpp_ms:.2f} ms) |")
    count = tamsel.count_primitive_roots(1000003)
    for reverse in (False, True):
        ns = median_seconds(lambda: loop(tamsel.primitive_roots(1000003, reverse=reverse)))
        ns = ns / count * 1e9
        print(f"| a `for` loop over `primitive_roots(1000003{', reverse=True' if reverse else ''})`"
              f" | {ns:.1f} ns per root | |")


main()
