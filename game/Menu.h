// The main menu screen: shows the menu picture, waits for one of the menu
// keys of its language, fades to black and returns the choice. Runs its own
// frame loop; it does not react to the window's close request, but leaves
// it at once when a signal asks the program to end. Owns nothing.
#ifndef VD_MENU_H
#define VD_MENU_H

// Choices Menu::Toca returns.
enum { MENU_SAIR = 0, MENU_JOGAR = 1, MENU_TUTORIAL = 2, MENU_CREDITOS = 3 };

class Menu {
public:
    // _idioma 0 takes the Portuguese keys, any other value the English ones.
    // _nQuadrosExibicao is kept but read by nothing; a fade of 0 frames or
    // less skips the fade-out and leaves the menu picture on the screen.
    Menu(unsigned int _sprMenu, unsigned int _sprPr, int _nQuadrosExibicao, int _nQuadrosES, int _idioma);

    // Blocks until a menu key is pressed, then fades out: MENU_SAIR (S/X, ESC),
    // MENU_JOGAR (J/P, ENTER, space), MENU_TUTORIAL (T) or MENU_CREDITOS (C);
    // with several in one frame the lowest code wins. Once a signal asks the
    // program to end (BRZ_SinalRecebido), returns MENU_SAIR after the frame
    // under way, without the fade.
    int Toca();

private:
    int EsperaEscolha();  // one frame per poll until a menu key is pressed
    void Escurece();      // the fade-out to black

    unsigned int sprMenu;  // menu picture, frame 0 at (0, 0)
    unsigned int sprPr;    // black picture of the fade
    int nFrames;           // frame counter of the fade
    int nQuadrosExibicao;  // kept; read by nothing
    int nQuadrosES;        // length of the fade-out, frames
    int idioma;            // 0 Portuguese, else English
};

#endif
