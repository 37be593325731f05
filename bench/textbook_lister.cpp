// textbook_lister: the straightforward way of listing primitive roots, kept only as the
// yardstick that bench/run measures the programs against. It finds the least root, then
// takes its powers with one modular exponentiation and one gcd per exponent, sorts them
// with a comparison sort and prints one formatted number at a time. Only numbers inside
// its tables are supported.
//
//   textbook_lister console   answers like tamsel4-2
//   textbook_lister logging   answers like tamsel4-3 (results file in the working directory)
//   textbook_lister first     answers like tamsel
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>
#include <vector>

namespace sieve {

// Linear sieve of primes and totients up to N.
constexpr int N = 1000010;
int primes[N + 10];
int cnt;
long long euler[N + 10];
bool st[N + 10];

std::vector<long long> ans;
std::vector<int> factors;

void get_primesAndEulers() {
  st[1] = true;
  euler[1] = 1;
  for (int i = 2; i <= N; i++) {
    if (!st[i]) {
      primes[cnt++] = i;
      euler[i] = i - 1;
    }
    for (int j = 0; primes[j] <= N / i; j++) {
      int t = primes[j] * i;
      st[t] = true;
      if (i % primes[j] == 0) {
        euler[t] = euler[i] * primes[j];
        break;
      }
      euler[t] = euler[i] * (primes[j] - 1);
    }
  }
}

int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

int qmi(long long a, long long k, long long p) {
  long long res = 1;
  while (k) {
    if (k & 1) res = res * a % p;
    a = a * a % p;
    k >>= 1;
  }
  return static_cast<int>(res);
}

void get_factors(int n) {
  factors.clear();
  for (int i = 2; i * i <= n; i++) {
    if (n % i == 0) {
      factors.push_back(i);
      while (n % i == 0) n /= i;
    }
  }
  if (n > 1) factors.push_back(n);
}

bool judge(int n) {
  if (n % 2 == 0) n /= 2;
  if (!st[n]) return true;
  for (int i = 3; i * i <= n; i++) {
    if (n % i == 0) {
      while (n % i == 0) n /= i;
      return n == 1;
    }
  }
  return false;
}

void get_roots(long long n) {
  int phi = static_cast<int>(euler[n]);
  int aa = -1;
  get_factors(phi);
  for (int a = 2; a < n; a++) {
    bool flag = true;
    aa = a;
    if (qmi(a, phi, n) == 1) {
      for (int q : factors) {
        if (qmi(a, phi / q, n) == 1) {
          flag = false;
          break;
        }
      }
      if (flag) {
        ans.push_back(a);
        break;
      }
    }
  }
  if (ans.empty()) return;
  for (int i = 2; i <= phi; i++) {
    if (gcd(i, phi) == 1) ans.push_back(qmi(aa, i, n));
  }
  std::sort(ans.begin(), ans.end());
  ans.erase(std::unique(ans.begin(), ans.end()), ans.end());
}

int console() {
  get_primesAndEulers();
  long long n;
  while (std::cin >> n) {
    ans.clear();
    if (n == 2) {
      puts("1");
      continue;
    }
    if (n == 4) {
      puts("3");
      continue;
    }
    if (!judge(static_cast<int>(n))) {
      puts("-1");
      continue;
    }
    get_roots(n);
    if (ans.empty()) {
      puts("-1");
      continue;
    }
    for (std::size_t i = 0; i < ans.size(); i++) {
      printf("%lld%c", ans[i], i + 1 == ans.size() ? '\n' : ' ');
    }
  }
  return 0;
}

int logging() {
  std::ofstream outFile("D:\\Orvanic.txt");
  get_primesAndEulers();
  long long n;
  while (std::cin >> n) {
    if (n == 21) return 0;
    ans.clear();
    if (n == 2) {
      puts("1");
      continue;
    }
    if (n == 4) {
      puts("3");
      continue;
    }
    if (!judge(static_cast<int>(n))) {
      puts("-1");
      continue;
    }
    get_roots(n);
    if (ans.empty()) {
      puts("-1");
    } else {
      char x[300];
      char s[256];
      memset(x, 0, sizeof x);
      const std::size_t m = ans.size();
      for (std::size_t i = 0; i < m; i++) {
        int percent = static_cast<int>(static_cast<long double>(i) / m * 100);
        snprintf(x, 4, "%3d", percent);
        x[3] = '%';
        x[4 + percent / 2] = '=';
        printf("\r%s>", x);
        fflush(stdout);
        snprintf(s, sizeof s, "%lld%c", ans[i], i + 1 == m ? '\n' : ' ');
        outFile << s;
      }
      putchar('\n');
    }
    puts("input 21 to exit:");
  }
  outFile.close();
  return 0;
}

}  // namespace sieve

namespace first {

// Eratosthenes flags below N and per-number trial division.
constexpr int N = 1000000;
bool f[N];
std::vector<int> V;
std::vector<int> G;

int phi(int x) {
  if (f[x]) return x - 1;
  int ans = x;
  for (int i = 2; i <= x; i++) {
    if (x % i == 0) {
      while (x % i == 0) x /= i;
      ans -= ans / i;
    }
  }
  return ans;
}

int gcd(int a, int b) {
  std::swap(a, b);
  int c = a % b;
  while (c != 0) {
    a = b;
    b = c;
    c = a % b;
  }
  return b;
}

int quick_mod(int x, int p, int mod) {
  long long s = 1;
  long long a = x;
  while (p) {
    if (p & 1) s = s * a % mod;
    a = a * a % mod;
    p >>= 1;
  }
  return static_cast<int>(s);
}

void cal(int x) {
  G.clear();
  if (f[x]) return;
  for (int i = 2; i * i <= x; i++) {
    if (x % i == 0) {
      G.push_back(i);
      if (i * i != x) G.push_back(x / i);
    }
  }
}

bool exist(int n) {
  if (n % 2 == 0) n /= 2;
  if (f[n]) return true;
  for (int i = 3; i * i <= n; i += 2) {
    if (n % i == 0) {
      while (n % i == 0) n /= i;
      return n == 1;
    }
  }
  return false;
}

void solve(int n) {
  if (n == 2) {
    puts("1");
    return;
  }
  if (n == 4) {
    puts("3");
    return;
  }
  if (!exist(n)) {
    puts("-1");
    return;
  }
  int p = phi(n);
  cal(p);
  int x = -1;
  for (int i = 2; i < n; i++) {
    bool flag = true;
    if (quick_mod(i, p, n) == 1) {
      for (int d : G) {
        if (quick_mod(i, d, n) == 1) {
          flag = false;
          break;
        }
      }
      if (flag) {
        V.resize(1);
        x = i;
        V[0] = x;
        break;
      }
    }
  }
  for (int i = 2; i < p; i++) {
    if (gcd(i, p) == 1) V.push_back(quick_mod(x, i, n));
  }
  std::sort(V.begin(), V.end());
  V.erase(std::unique(V.begin(), V.end()), V.end());
  for (std::size_t k = 0; k < V.size(); k++) {
    if (k != 0) putchar(' ');
    printf("%d", V[k]);
  }
  puts("");
}

int run() {
  std::fill(f, f + N, true);
  f[0] = f[1] = false;
  for (int i = 2; i < N; i++) {
    if (f[i]) {
      for (int j = 2 * i; j < N; j += i) f[j] = false;
    }
  }
  int n;
  // A token that is not a number ends the run here rather than spinning forever.
  while (scanf("%d", &n) == 1) solve(n);
  return 0;
}

}  // namespace first

int main(int argc, char** argv) {
  const std::string_view mode = argc == 2 ? argv[1] : "";
  if (mode == "console") return sieve::console();
  if (mode == "logging") return sieve::logging();
  if (mode == "first") return first::run();
  fprintf(stderr, "usage: textbook_lister console|logging|first < numbers\n");
  return 2;
}
