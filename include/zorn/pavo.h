/* Random streams: the generator registry, stream objects, skip-ahead and leapfrog,
 * persistence, chunks and the shared read-only data table, the basic generators
 * (congruential MCG31M1, MCG59, MRG32K3A and WH; R250; the twisters MT19937, SFMT19937
 * and the MT2203 family; the counter-based Philox4x32-10 and ARS-5; the hardware source;
 * the caller's abstract streams), the quasi-random generators (Sobol, Niederreiter) and
 * the distribution generators.
 *
 * Every operation returns a signed 32-bit status: 0 (or a non-negative value such as
 * an identifier) for success, a negative code for failure. Streams are handed out as
 * opaque addresses (void*); the object behind one begins with PavoStreamHeader. */
#ifndef ZORN_PAVO_H
#define ZORN_PAVO_H

#include <stdint.h>

#include "zorn/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- records ---- */

/* One block of data attached to a stream. Shared data (non-zero key) is owned by the
 * shared read-only data table; private data (zero key) by the stream. */
typedef struct PavoChunk {
  uint32_t chunk_id;
  int32_t chunk_size; /* bytes of data */
  void* chunk_data;
  struct PavoChunk* chunk_next;
  uint64_t chunk_key[2];
} PavoChunk;

/* The 16 bytes every stream object begins with; the generator state follows. */
typedef struct PavoStreamHeader {
  uint32_t brng_id;     /* generator identifier, sub-generator index included */
  uint32_t stream_mark; /* 1 for every created stream */
  PavoChunk* chunks;    /* head of the chunk list, null when there is none */
} PavoStreamHeader;

/* The four operations of a generator row. */
typedef int32_t (*PavoBrngInitStream)(uint32_t method, void* stream, int32_t n, const void* params);
typedef int32_t (*PavoBrngGenSingle)(void* stream, int32_t n, float* r, float a, float b);
typedef int32_t (*PavoBrngGenDouble)(void* stream, int32_t n, double* r, double a, double b);
typedef int32_t (*PavoBrngGenInt)(void* stream, int32_t n, uint32_t* r);

/* init_stream methods */
#define PAVO_INIT_SEED 0u              /* n seed words at params */
#define PAVO_INIT_LEAPFROG 1u          /* member k (word at params) of n streams */
#define PAVO_INIT_SKIP_AHEAD 2u        /* unsigned 64-bit count at params */
#define PAVO_INIT_SKIP_AHEAD_MULTI 3u  /* n unsigned 64-bit words at params, low first */

/* One registry row: the generator's sizes, output words and operations. */
typedef struct PavoBrngProperties {
  int32_t state_size;     /* bytes of a whole stream object, header included */
  int32_t state_words;    /* evolving words behind the header (word_size bytes each) */
  int32_t may_yield_zero; /* 1 when the integer output can be 0 */
  int32_t word_size;      /* bytes of one integer output word: 4, 8 or 16 */
  int32_t bits;           /* significant bits of an output word (of each 32-bit part) */
  PavoBrngInitStream init_stream;
  PavoBrngGenSingle gen_single;
  PavoBrngGenDouble gen_double;
  PavoBrngGenInt gen_int;
} PavoBrngProperties;

/* An entry of the shared read-only data table. */
typedef struct PavoRODataEntry {
  uint64_t key[2];
  uint32_t reference_count;
  void* data;
} PavoRODataEntry;

/* Identifiers of the built-in generators: (row + 1) << 20, plus a sub-generator index. */
#define PAVO_BRNG_MCG31M1 0x100000u
#define PAVO_BRNG_R250 0x200000u
#define PAVO_BRNG_MRG32K3A 0x300000u
#define PAVO_BRNG_MCG59 0x400000u
#define PAVO_BRNG_WH 0x500000u /* + 0..272 */
#define PAVO_BRNG_SOBOL 0x600000u
#define PAVO_BRNG_NIEDERR 0x700000u
#define PAVO_BRNG_MT19937 0x800000u
#define PAVO_BRNG_MT2203 0x900000u /* + 0..6023 */
#define PAVO_BRNG_IABSTRACT 0xA00000u
#define PAVO_BRNG_DABSTRACT 0xB00000u
#define PAVO_BRNG_SABSTRACT 0xC00000u
#define PAVO_BRNG_SFMT19937 0xD00000u
#define PAVO_BRNG_NONDETERM 0xE00000u
#define PAVO_BRNG_ARS5 0xF00000u
#define PAVO_BRNG_PHILOX4X32X10 0x1000000u

#define PAVO_REGISTRY_ROWS 512
#define PAVO_LEGACY_DEFINED_ROWS 281
#define PAVO_BUILTIN_ROWS 16

/* ---- registry ---- */
ZORN_API extern PavoBrngProperties __RegBrngs[PAVO_REGISTRY_ROWS];
ZORN_API extern PavoBrngProperties __RegBrngsNew[PAVO_REGISTRY_ROWS];
ZORN_API PavoBrngProperties* __pavoGetBrngBaseOffset(uint32_t brng_id, int32_t* row, int32_t* sub);
ZORN_API int32_t __pavoIsBrngValid(const PavoBrngProperties* table, int32_t row, int32_t sub);
ZORN_API int32_t __pavoGetBrngProperties(uint32_t brng_id, PavoBrngProperties* properties);
ZORN_API int32_t __pavoGetNumRegBrngs(void);
ZORN_API int32_t __pavoRegisterBrng(const PavoBrngProperties* properties);

/* ---- streams ---- */
ZORN_API int32_t __pavoAllocateStream(void** stream, const PavoBrngProperties* table,
                                      uint32_t brng_id, int32_t row, int32_t sub);
ZORN_API int32_t __pavoNewStreamEx(void** stream, uint32_t brng_id, int32_t n, const uint32_t* seeds);
ZORN_API int32_t __pavoCopyStream(void** copy, const void* source);
ZORN_API int32_t __pavoCopyStreamState(void* destination, const void* source);
ZORN_API int32_t __pavoDeleteStream(void** stream);
ZORN_API uint32_t __pavoGetStreamStateBrng(const void* stream);

/* Abstract streams: the caller's buffer and refill callback. */
typedef int32_t (*PavoiAbstractCallback)(void* stream, int32_t* n, uint32_t* buffer,
                                         int32_t* min_count, int32_t* max_count, int32_t* start);
typedef int32_t (*PavodAbstractCallback)(void* stream, int32_t* n, double* buffer,
                                         int32_t* min_count, int32_t* max_count, int32_t* start);
typedef int32_t (*PavosAbstractCallback)(void* stream, int32_t* n, float* buffer,
                                         int32_t* min_count, int32_t* max_count, int32_t* start);
ZORN_API int32_t __pavoiNewAbstractStream(void** stream, int32_t n, uint32_t* buffer,
                                          PavoiAbstractCallback callback);
ZORN_API int32_t __pavodNewAbstractStream(void** stream, int32_t n, double* buffer, double a,
                                          double b, PavodAbstractCallback callback);
ZORN_API int32_t __pavosNewAbstractStream(void** stream, int32_t n, float* buffer, float a,
                                          float b, PavosAbstractCallback callback);

/* ---- skip-ahead and leapfrog ---- */
ZORN_API int32_t __pavoLeapfrogStream(void* stream, uint32_t k, int32_t n_streams);
ZORN_API int32_t __pavoSkipAheadStream(void* stream, uint64_t count);
ZORN_API int32_t __pavoSkipAheadStreamEx(void* stream, int32_t n, const uint64_t* count);

ZORN_API uint32_t __pavoiPowMod(uint32_t a, uint64_t e, uint32_t m);
ZORN_API uint32_t __pavoiPowMod2P31M1(uint32_t a, uint64_t e);
ZORN_API uint64_t __pavoiPowMod2P59(uint64_t a, uint64_t e);
/* v = M^e v (mod m), M the companion matrix whose new element is row . v */
ZORN_API void __pavoiVect3PowMod(uint32_t* v, const uint32_t* row, uint32_t m, uint64_t e);
/* v = A^e v for the MRG32K3A components, from a table of A^(2^i) (9 words each) */
ZORN_API void __pavoiVect3PowArrayMod_M1(uint32_t* v, int32_t n, const uint64_t* e, const uint32_t* table);
ZORN_API void __pavoiVect3PowArrayMod_M2(uint32_t* v, int32_t n, const uint64_t* e, const uint32_t* table);
ZORN_API void __pavoiVect3PowArrayMod(uint32_t* v, const uint32_t* row, uint32_t m, int32_t n,
                                      const uint64_t* e);

/* ---- persistence ---- */
ZORN_API int32_t __pavoGetStreamSize(const void* stream);
ZORN_API int32_t __pavoSaveStreamM(const void* stream, char* buffer);
ZORN_API int32_t __pavoSaveStreamF(const void* stream, const char* path, int64_t path_length);
ZORN_API int32_t __pavoLoadStreamM(void** stream, const char* buffer);
ZORN_API int32_t __pavoLoadStreamF(void** stream, const char* path, int64_t path_length);

/* ---- chunks and the shared read-only data table ---- */
ZORN_API int32_t __pavoAddChunk(void* stream, uint32_t chunk_id, const uint64_t* key, void* data,
                                int32_t size);
ZORN_API void* __pavoSearchChunk(const void* stream, uint32_t chunk_id);
ZORN_API int32_t __pavoGetNumChunks(const void* stream);
ZORN_API void __pavoDeleteChunks(void* stream);
ZORN_API void __pavoDeleteChunksById(void* stream, uint32_t chunk_id);
ZORN_API int32_t __pavoCopyChunks(void* destination, const void* source);
ZORN_API int32_t __pavoCreateGlobRODataTableEntry(PavoRODataEntry** entry, const uint64_t* key, void* data);
ZORN_API int32_t __pavoFindGlobRODataTableEntry(PavoRODataEntry** entry, const uint64_t* key);
/* holder[1] receives the shared data address */
ZORN_API void __pavoRegisterGlobRODataReference(void** holder, const uint64_t* key);
ZORN_API void __pavoUnregisterGlobRODataReference(const uint64_t* key);
ZORN_API int32_t __pavoGenerateNewGlobalRODataTableEntryId(uint64_t* key, uint64_t tag);

/* ---- the built-in generators' operations ---- */
#define PAVO_DECLARE_BRNG(name)                                                               \
  ZORN_API int32_t __pavoBRng##name##InitStream(uint32_t method, void* stream, int32_t n,      \
                                                const void* params);                          \
  ZORN_API int32_t __pavosBRng##name(void* stream, int32_t n, float* r, float a, float b);     \
  ZORN_API int32_t __pavodBRng##name(void* stream, int32_t n, double* r, double a, double b);  \
  ZORN_API int32_t __pavoiBRng##name(void* stream, int32_t n, uint32_t* r);
PAVO_DECLARE_BRNG(MCG31M1)
PAVO_DECLARE_BRNG(R250)
PAVO_DECLARE_BRNG(MRG32K3A)
PAVO_DECLARE_BRNG(MCG59)
PAVO_DECLARE_BRNG(WH)
PAVO_DECLARE_BRNG(Sobol)
PAVO_DECLARE_BRNG(Niederr)
PAVO_DECLARE_BRNG(MT19937)
PAVO_DECLARE_BRNG(MT2203)
PAVO_DECLARE_BRNG(SFMT19937)
PAVO_DECLARE_BRNG(TRNG)
PAVO_DECLARE_BRNG(ARS5)
PAVO_DECLARE_BRNG(PHILOX4X32X10)

/* The abstract generators: initialisation (called by the three creation operations)
 * and the output of the type each stream holds. */
ZORN_API int32_t __pavoBRngiAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params);
ZORN_API int32_t __pavoBRngdAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params);
ZORN_API int32_t __pavoBRngsAbstractInitStream(uint32_t method, void* stream, int32_t n, const void* params);
ZORN_API int32_t __pavoiBRngiAbstract(void* stream, int32_t n, uint32_t* r);
ZORN_API int32_t __pavodBRngdAbstract(void* stream, int32_t n, double* r, double a, double b);
ZORN_API int32_t __pavosBRngsAbstract(void* stream, int32_t n, float* r, float a, float b);

/* Processor tests: 1 when the instructions are there, else 0. */
ZORN_API int32_t __pavoCPUisAES(void);
ZORN_API int32_t __pavoCPUisRDRAND(void);
ZORN_API int32_t __pavoCPUisVAES(void);

/* The one function behind every abstract-generator output of a type the stream does
 * not hold; returns PAVO_STATUS_ABSTRACT_WRONG_TYPE whatever its arguments. */
ZORN_API int32_t __pavodBRngiAbstract(void* stream, int32_t n, double* r, double a, double b);
ZORN_API int32_t __pavosBRngiAbstract(void* stream, int32_t n, float* r, float a, float b);
ZORN_API int32_t __pavodBRngsAbstract(void* stream, int32_t n, double* r, double a, double b);
ZORN_API int32_t __pavoiBRngsAbstract(void* stream, int32_t n, uint32_t* r);
ZORN_API int32_t __pavoiBRngdAbstract(void* stream, int32_t n, uint32_t* r);
ZORN_API int32_t __pavosBRngdAbstract(void* stream, int32_t n, float* r, float a, float b);


/* ---- distribution generators: continuous transforms and normal variates ----
 * Every generator takes a method word (the method number in the low bits; bit 30,
 * PAVO_METHOD_ACCURATE, forces results into the support), the stream, the count n,
 * the result array and then the distribution's parameters. It returns the status of
 * its last uniform draw; a negative status ends the call at once. Parameters are
 * checked by the caller (the core library), not here. */
#define PAVO_METHOD_ACCURATE 0x40000000

/* uniform on [a, b) */
ZORN_API int32_t _pavodRngUniform(int32_t method, void* stream, int32_t n, double* r, double a,
                                  double b);
ZORN_API int32_t _pavosRngUniform(int32_t method, void* stream, int32_t n, float* r, float a,
                                  float b);
/* a - beta ln(u) */
ZORN_API int32_t _pavodRngExponential(int32_t method, void* stream, int32_t n, double* r,
                                      double a, double beta);
ZORN_API int32_t _pavosRngExponential(int32_t method, void* stream, int32_t n, float* r, float a,
                                      float beta);
/* a + s beta ln(u1), s = +1 when u2 > 0.5, else -1 */
ZORN_API int32_t _pavodRngLaplace(int32_t method, void* stream, int32_t n, double* r, double a,
                                  double beta);
ZORN_API int32_t _pavosRngLaplace(int32_t method, void* stream, int32_t n, float* r, float a,
                                  float beta);
/* a + beta (-ln u)^(1/alpha) */
ZORN_API int32_t _pavodRngWeibull(int32_t method, void* stream, int32_t n, double* r,
                                  double alpha, double a, double beta);
ZORN_API int32_t _pavosRngWeibull(int32_t method, void* stream, int32_t n, float* r, float alpha,
                                  float a, float beta);
/* a + beta tan(v), v uniform on (-pi/2, pi/2) */
ZORN_API int32_t _pavodRngCauchy(int32_t method, void* stream, int32_t n, double* r, double a,
                                 double beta);
ZORN_API int32_t _pavosRngCauchy(int32_t method, void* stream, int32_t n, float* r, float a,
                                 float beta);
/* a + beta sqrt(-ln u) */
ZORN_API int32_t _pavodRngRayleigh(int32_t method, void* stream, int32_t n, double* r, double a,
                                   double beta);
ZORN_API int32_t _pavosRngRayleigh(int32_t method, void* stream, int32_t n, float* r, float a,
                                   float beta);
/* a + beta ln(-ln u) */
ZORN_API int32_t _pavodRngGumbel(int32_t method, void* stream, int32_t n, double* r, double a,
                                 double beta);
ZORN_API int32_t _pavosRngGumbel(int32_t method, void* stream, int32_t n, float* r, float a,
                                 float beta);

/* N(a, sigma) by method PAVO_GAUSSIAN_BOX_MULLER (one variate per uniform pair),
 * PAVO_GAUSSIAN_BOX_MULLER2 (both halves; a pending half waits on the stream) or
 * PAVO_GAUSSIAN_ICDF (inversion). */
#define PAVO_GAUSSIAN_BOX_MULLER 0
#define PAVO_GAUSSIAN_BOX_MULLER2 1
#define PAVO_GAUSSIAN_ICDF 2
ZORN_API int32_t _pavodRngGaussian(int32_t method, void* stream, int32_t n, double* r, double a,
                                   double sigma);
ZORN_API int32_t _pavosRngGaussian(int32_t method, void* stream, int32_t n, float* r, float a,
                                   float sigma);
/* b + beta exp(N(a, sigma)); method 0 draws the normals by BOX_MULLER2, any other
 * method word by ICDF */
ZORN_API int32_t _pavodRngLognormal(int32_t method, void* stream, int32_t n, double* r, double a,
                                    double sigma, double b, double beta);
ZORN_API int32_t _pavosRngLognormal(int32_t method, void* stream, int32_t n, float* r, float a,
                                    float sigma, float b, float beta);
/* n vectors of d elements, a + L z: L lower triangular, in storage
 * PAVO_MATRIX_FULL (row-major d x d, lower triangle read), PAVO_MATRIX_PACKED (the lower
 * triangle column after column) or PAVO_MATRIX_DIAGONAL (d values) */
#define PAVO_MATRIX_FULL 0
#define PAVO_MATRIX_PACKED 1
#define PAVO_MATRIX_DIAGONAL 2
ZORN_API int32_t _pavodRngGaussianMV(int32_t method, void* stream, int32_t n, double* r,
                                     int32_t d, int32_t storage, const double* a, const double* t);
ZORN_API int32_t _pavosRngGaussianMV(int32_t method, void* stream, int32_t n, float* r,
                                     int32_t d, int32_t storage, const float* a, const float* t);

/* ---- distribution generators: the gamma family and integer-valued variates ----
 * The same calling convention as above. Integer results are 32-bit signed counts,
 * except the raw words of the bit generators. */

/* a + beta g, g standard gamma of shape alpha */
ZORN_API int32_t _pavodRngGamma(int32_t method, void* stream, int32_t n, double* r, double alpha,
                                double a, double beta);
ZORN_API int32_t _pavosRngGamma(int32_t method, void* stream, int32_t n, float* r, float alpha,
                                float a, float beta);
/* a + beta x, x ~ Beta(p, q) */
ZORN_API int32_t _pavodRngBeta(int32_t method, void* stream, int32_t n, double* r, double p,
                               double q, double a, double beta);
ZORN_API int32_t _pavosRngBeta(int32_t method, void* stream, int32_t n, float* r, float p, float q,
                               float a, float beta);
/* chi-square with v degrees of freedom */
ZORN_API int32_t _pavodRngChiSquare(int32_t method, void* stream, int32_t n, double* r, int32_t v);
ZORN_API int32_t _pavosRngChiSquare(int32_t method, void* stream, int32_t n, float* r, int32_t v);
/* integers uniform on a <= x < b */
ZORN_API int32_t _pavoiRngUniform(int32_t method, void* stream, int32_t n, int32_t* r, int32_t a,
                                  int32_t b);
/* raw output words (the generator's word size), and fixed 32- and 64-bit words; the
 * fixed widths return PAVO_STATUS_NO_FIXED_WORDS for generators whose output cannot be cut into them */
ZORN_API int32_t _pavoiRngUniformBits(int32_t method, void* stream, int32_t n, uint32_t* r);
ZORN_API int32_t _pavoiRngUniformBits32(int32_t method, void* stream, int32_t n, uint32_t* r);
ZORN_API int32_t _pavoiRngUniformBits64(int32_t method, void* stream, int32_t n, uint64_t* r);
/* 1 with probability p, else 0 */
ZORN_API int32_t _pavoiRngBernoulli(int32_t method, void* stream, int32_t n, int32_t* r, double p);
/* failures before the first success, success probability p */
ZORN_API int32_t _pavoiRngGeometric(int32_t method, void* stream, int32_t n, int32_t* r, double p);
/* Poisson counts of mean lambda: method 0 exact, method 1 a fast approximation */
#define PAVO_POISSON_EXACT 0
#define PAVO_POISSON_NORMAL_APPROXIMATION 1
ZORN_API int32_t _pavoiRngPoisson(int32_t method, void* stream, int32_t n, int32_t* r,
                                  double lambda);

#ifdef __cplusplus
}
#endif
#endif
