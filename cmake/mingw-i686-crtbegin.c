/* The start-up object of every 32-bit Windows program and DLL of this build, linked in
 * place of the compiler's crtbegin.o (the link finds it first: -B names its folder).
 *
 * 32-bit MinGW code unwinds through DWARF-2 tables, which the unwinder finds only once
 * they are registered with it. The compiler's crtbegin.o registers them with
 * libgcc_s_dw2-1.dll whenever another module has already loaded that DLL into the
 * process (another MinGW-built add-in of the same host), while this build throws and
 * catches through the static libgcc linked into it: then no exception of ours would
 * find a handler and every error would end the host process. This one registers the
 * tables with the static libgcc always, whatever else the process holds.
 *
 * crtend.o, left as it is, calls __gcc_register_frame from a constructor and ends the
 * .eh_frame section with its terminator. Compiled without unwind tables of its own, so
 * that the label below is the first thing this object puts in .eh_frame. */

/* libgcc's struct object (six words in GCC 12), with room to spare. */
struct frame_object {
  void* words[8];
};

void __register_frame_info(const void* begin, struct frame_object* object);
void* __deregister_frame_info(const void* begin);
int atexit(void (*function)(void));

void __gcc_register_frame(void);
void __gcc_deregister_frame(void);

static const char eh_frame_begin[] __attribute__((used, section(".eh_frame"), aligned(4))) = {};
static struct frame_object frame_object;

void __gcc_deregister_frame(void) { __deregister_frame_info(eh_frame_begin); }

void __gcc_register_frame(void) {
  __register_frame_info(eh_frame_begin, &frame_object);
  atexit(__gcc_deregister_frame);
}
