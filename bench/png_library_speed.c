/* Reads and writes one PNG with libpng and with libspng, as the picture
 * layer would (8-bit RGB(A) rows; by default zlib level 6, all filters,
 * Z_FILTERED; the picture layer writes with Z_RLE, strategy 3),
 * and prints the processor seconds of each step and the written sizes.
 * Build: cc -O2 png_library_speed.c $(pkg-config --cflags --libs libpng spng) -o png_library_speed
 * Run:   ./png_library_speed photo.png [LEVEL STRATEGY ALL-FILTERS] */
#include <png.h>
#include <spng.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

/* Deflate level, strategy and row filters of both writers: argv[2..4]. */
static int Level = 6;
static int Strategy = 1;
static int AllFilters = 1;

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static unsigned char* ReadLibpng(const char* path, png_uint_32* w, png_uint_32* h)
{
    FILE* f = fopen(path, "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    *w = png_get_image_width(png, info);
    *h = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    unsigned char* pixels = malloc((size_t)*w * *h * 4);
    for (png_uint_32 y = 0; y < *h; ++y)
        png_read_row(png, pixels + (size_t)y * *w * 4, NULL);
    png_destroy_read_struct(&png, &info, NULL);
    fclose(f);
    return pixels;
}

static long WriteLibpng(const char* path, const unsigned char* rgba, png_uint_32 w, png_uint_32 h)
{
    FILE* f = fopen(path, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_compression_level(png, Level);
    png_set_compression_strategy(png, Strategy);
    png_set_filter(png, 0, AllFilters ? PNG_ALL_FILTERS : PNG_FILTER_PAETH);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, 0, 0, 0);
    png_write_info(png, info);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (png_uint_32 y = 0; y < h; ++y)
        png_write_row(png, rgba + (size_t)y * w * 4);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    long size = ftell(f);
    fclose(f);
    return size;
}

static unsigned char* ReadSpng(const char* path, uint32_t* w, uint32_t* h)
{
    FILE* f = fopen(path, "rb");
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_file(ctx, f);
    struct spng_ihdr ihdr;
    spng_get_ihdr(ctx, &ihdr);
    *w = ihdr.width;
    *h = ihdr.height;
    unsigned char* pixels = malloc((size_t)*w * *h * 4);
    spng_decode_image(ctx, NULL, 0, SPNG_FMT_RGBA8, SPNG_DECODE_PROGRESSIVE);
    for (uint32_t y = 0; y < *h; ++y)
        spng_decode_row(ctx, pixels + (size_t)y * *w * 4, (size_t)*w * 4);
    spng_ctx_free(ctx);
    fclose(f);
    return pixels;
}

static long WriteSpng(const char* path, const unsigned char* rgba, uint32_t w, uint32_t h)
{
    FILE* f = fopen(path, "wb");
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_png_file(ctx, f);
    struct spng_ihdr ihdr = { w, h, 8, 2, 0, 0, 0 };
    spng_set_ihdr(ctx, &ihdr);
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, Level);
    spng_set_option(ctx, SPNG_IMG_COMPRESSION_STRATEGY, Strategy);
    spng_set_option(ctx, SPNG_FILTER_CHOICE, AllFilters ? SPNG_FILTER_CHOICE_ALL : SPNG_FILTER_CHOICE_PAETH);
    spng_encode_image(ctx, NULL, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    unsigned char* row = malloc((size_t)w * 3);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = rgba[((size_t)y * w + x) * 4 + c];
        spng_encode_row(ctx, row, (size_t)w * 3);
    }
    free(row);
    spng_ctx_free(ctx);
    long size = ftell(f);
    fclose(f);
    return size;
}

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 5) {
        fprintf(stderr, "usage: %s PHOTO.png [LEVEL STRATEGY ALL-FILTERS(0/1)]\n", argv[0]);
        return 2;
    }
    if (argc == 5) {
        Level = atoi(argv[2]);
        Strategy = atoi(argv[3]);
        AllFilters = atoi(argv[4]);
    }
    uint32_t w, h;
    double t0 = Now();
    unsigned char* a = ReadLibpng(argv[1], &w, &h);
    double t1 = Now();
    long sizeA = WriteLibpng("/tmp/png_library_speed_libpng.png", a, w, h);
    double t2 = Now();
    unsigned char* b = ReadSpng(argv[1], &w, &h);
    double t3 = Now();
    long sizeB = WriteSpng("/tmp/png_library_speed_spng.png", b, w, h);
    double t4 = Now();
    printf("libpng  read %.2f s  write %.2f s  %ld bytes\n", t1 - t0, t2 - t1, sizeA);
    printf("libspng read %.2f s  write %.2f s  %ld bytes\n", t3 - t2, t4 - t3, sizeB);
    free(a);
    free(b);
    return 0;
}
