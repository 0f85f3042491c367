int quorvex_sdl_anchor = 0;
