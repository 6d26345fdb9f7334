<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="fr_FR">
<context>
    <name>CommandLine</name>
    <message>
        <source>option inconnue : %1%2</source>
        <translation>unknown option: %1%2</translation>
    </message>
    <message>
        <source>valeur manquante ou en trop après %1</source>
        <translation>missing or extra value after %1</translation>
    </message>
    <message>
        <source>--format : hexa, html ou rgb, pas « %1 »</source>
        <translation>--format: hexa, html or rgb, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--sample : un nombre impair de 1 à %1, pas « %2 »</source>
        <translation>--sample: an odd number from 1 to %1, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--format, --value-only, --sample et --no-copy ne s&apos;emploient qu&apos;avec --pick</source>
        <translation>--format, --value-only, --sample and --no-copy go only with --pick</translation>
    </message>
    <message>
        <source>Utilisation : jov [/noversion]
              jov --pick [--format=hexa|html|rgb] [--value-only] [--sample=N] [--no-copy]
Voir « jov --help ».
</source>
        <translation>Usage: jov [/noversion]
       jov --pick [--format=hexa|html|rgb] [--value-only] [--sample=N] [--no-copy]
See &quot;jov --help&quot;.
</translation>
    </message>
    <message>
        <source>Utilisation : jov [options] [/noversion]
JOV compose, prélève et copie des couleurs pour le web et le graphisme.

Options :
  -p, --pick          Prélève une couleur à l&apos;écran d&apos;un clic gauche (Échap ou
                      clic droit : annuler), l&apos;écrit sur la sortie standard,
                      la copie dans le presse-papiers et s&apos;arrête. La molette
                      et les touches + et - règlent le carré dont la moyenne
                      est prise, les flèches déplacent le pointeur.
  --format=FORMAT     Avec --pick : hexa, html ou rgb (sinon le format choisi
                      dans la fenêtre).
  --value-only        Avec --pick : la valeur seule, sans sa décoration.
  --sample=N          Avec --pick : la moyenne d&apos;un carré de N × N pixels,
                      N impair de 1 à %1 (sinon le dernier carré choisi).
  --no-copy           Avec --pick : laisse le presse-papiers tel quel.
  -h, --help          Affiche cette aide.
  -v, --version       Affiche la version.
  /noversion          L&apos;aide ouvre le manuel en une seule page.

Les options de Qt (-display, -platform, ...) sont acceptées.
Codes de sortie de --pick : 0 couleur prélevée, 1 annulé, 2 erreur
d&apos;utilisation, 3 prélèvement impossible.
</source>
        <translation>Usage: jov [options] [/noversion]
JOV composes, picks and copies colours for the web and graphics work.

Options:
  -p, --pick          Picks a colour on the screen with a left click (Escape or
                      right click: cancel), writes it to standard output,
                      copies it to the clipboard and ends. The wheel and the
                      + and - keys set the square whose mean is taken, the
                      arrow keys move the pointer.
  --format=FORMAT     With --pick: hexa, html or rgb (else the format chosen
                      in the window).
  --value-only        With --pick: the value alone, without its decoration.
  --sample=N          With --pick: the mean of a square of N × N pixels,
                      N odd from 1 to %1 (else the last square chosen).
  --no-copy           With --pick: leaves the clipboard as it is.
  -h, --help          Shows this help.
  -v, --version       Shows the version.
  /noversion          Help opens the manual on a single page.

Qt&apos;s options (-display, -platform, ...) are accepted.
Exit status of --pick: 0 colour picked, 1 cancelled, 2 usage error,
3 picking impossible.
</translation>
    </message>
</context>
<context>
    <name>FormServices</name>
    <message>
        <source>&amp;Oui</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Non</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Confirmation</translation>
    </message>
</context>
<context>
    <name>GimpPalette</name>
    <message>
        <source>Fichiers Palettes (*.pal)</source>
        <translation>Palette files (*.pal)</translation>
    </message>
    <message>
        <source>Fichiers palette (*.pal)</source>
        <translation>Palette file (*.pal)</translation>
    </message>
    <message>
        <source>Palettes GIMP (*.gpl)</source>
        <translation>GIMP palettes (*.gpl)</translation>
    </message>
    <message>
        <source> 1 couleur ignorée (seules les 16 premières sont chargées)</source>
        <translation> 1 colour ignored (only the first 16 are loaded)</translation>
    </message>
    <message>
        <source> %1 couleurs ignorées (seules les 16 premières sont chargées)</source>
        <translation> %1 colours ignored (only the first 16 are loaded)</translation>
    </message>
</context>
<context>
    <name>HookMouse</name>
    <message>
        <source>Le fichier %1 est manquant.</source>
        <translation>The file %1 is missing.</translation>
    </message>
    <message>
        <source>Une erreur d&apos;initialisation s&apos;est produite.</source>
        <translation>An initialisation error occurred.</translation>
    </message>
</context>
<context>
    <name>PaletteFile</name>
    <message>
        <source>Le fichier PAL n&apos;est pas un fichier valide</source>
        <translation>The PAL file is not a valid file</translation>
    </message>
    <message>
        <source>Cette version de fichier PAL n&apos;est pas supportée</source>
        <translation>This PAL file version is not supported</translation>
    </message>
    <message>
        <source>Le nombre de couleurs de ce fichier PAL n&apos;est pas supporté</source>
        <translation>The number of colours of this PAL file is not supported</translation>
    </message>
</context>
<context>
    <name>PickCommand</name>
    <message>
        <source>le pointeur ou le clavier est pris par un autre programme</source>
        <translation>the pointer or the keyboard is held by another program</translation>
    </message>
    <message>
        <source>la couleur n&apos;a pas pu rester dans le presse-papiers</source>
        <translation>the colour could not stay on the clipboard</translation>
    </message>
</context>
<context>
    <name>PortalColorPicker</name>
    <message>
        <source> Pipette annulée</source>
        <translation> Pipette cancelled</translation>
    </message>
    <message>
        <source> Pipette indisponible : refus du portail</source>
        <translation> Pipette unavailable: refused by the portal</translation>
    </message>
    <message>
        <source> Pipette indisponible : pas de D-Bus</source>
        <translation> Pipette unavailable: no D-Bus</translation>
    </message>
    <message>
        <source> Pipette indisponible : aucun portail</source>
        <translation> Pipette unavailable: no portal</translation>
    </message>
    <message>
        <source> Pipette indisponible : portail trop ancien</source>
        <translation> Pipette unavailable: portal too old</translation>
    </message>
    <message>
        <source> Pipette indisponible : aucun sélecteur</source>
        <translation> Pipette unavailable: no colour picker</translation>
    </message>
    <message>
        <source> Pipette indisponible : pas de réponse</source>
        <translation> Pipette unavailable: no answer</translation>
    </message>
    <message>
        <source> Pipette indisponible : erreur du portail</source>
        <translation> Pipette unavailable: portal error</translation>
    </message>
    <message>
        <source> Pipette indisponible : réponse illisible</source>
        <translation> Pipette unavailable: unreadable answer</translation>
    </message>
    <message>
        <source> Pipette indisponible : portail arrêté</source>
        <translation> Pipette unavailable: portal stopped</translation>
    </message>
    <message>
        <source> Pipette indisponible</source>
        <translation> Pipette unavailable</translation>
    </message>
</context>
<context>
    <name>ScreenSampler</name>
    <message>
        <source> Pipette : écran illisible</source>
        <translation> Pipette: unreadable screen</translation>
    </message>
</context>
<context>
    <name>Systeme</name>
    <message>
        <source> Aide introuvable : %1</source>
        <translation> Help not found: %1</translation>
    </message>
</context>
<context>
    <name>jov::TAbout</name>
    <message>
        <source>A propos de...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>| Le mélange des 3 couleurs JOV en action !</source>
        <translation>| The 3 JOV colours mixing in action!</translation>
    </message>
    <message>
        <source>| Version du programme</source>
        <translation>| Program version</translation>
    </message>
    <message>
        <source>| Auteur</source>
        <translation>| Author</translation>
    </message>
    <message>
        <source>Tous droits réservés</source>
        <translation>All rights reserved</translation>
    </message>
    <message>
        <source>| Cliquez pour écrire à l&apos;auteur</source>
        <translation>| Click to write to the author</translation>
    </message>
    <message>
        <source>| Cliquez pour visiter le site Internet de l&apos;auteur</source>
        <translation>| Click to visit the author&apos;s website</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Conçu par l&apos;équipe JOV</source>
        <translation>Designed by the JOV team</translation>
    </message>
</context>
<context>
    <name>jov::TCustomSlots</name>
    <message>
        <source>Voulez-vous créer un dégradé automatique ?</source>
        <translation>Do you want to create an automatic gradient?</translation>
    </message>
    <message>
        <source>Voulez-vous supprimer les couleurs mémorisées ?</source>
        <translation>Do you want to delete the stored colours?</translation>
    </message>
    <message>
        <source>Sélectionnez auparavant un des boutons personnalisés.</source>
        <translation>First select one of the custom buttons.</translation>
    </message>
    <message>
        <source>La palette %1 a été modifiée.</source>
        <translation>The palette %1 has been modified.</translation>
    </message>
    <message>
        <source>Voulez-vous la sauvegarder ?</source>
        <translation>Do you want to save it?</translation>
    </message>
</context>
<context>
    <name>jov::TMainForm</name>
    <message>
        <source> Copie effectuée</source>
        <translation> Copied</translation>
    </message>
    <message>
        <source> Presse-papiers : pas de réponse</source>
        <translation> Clipboard: no answer</translation>
    </message>
    <message>
        <source> Importation effectuée</source>
        <translation> Imported</translation>
    </message>
    <message>
        <source> Le bureau n&apos;a pas ouvert l&apos;aide</source>
        <translation> The desktop did not open the help</translation>
    </message>
    <message>
        <source>| Agrandit la fenêtre du programme (Ctrl R)</source>
        <translation>| Enlarges the program window (Ctrl R)</translation>
    </message>
    <message>
        <source>| Réduit la fenêtre du programme (Ctrl R)</source>
        <translation>| Shrinks the program window (Ctrl R)</translation>
    </message>
    <message>
        <source>| Libère du premier plan (Ctrl T)</source>
        <translation>| Stops keeping on top (Ctrl T)</translation>
    </message>
    <message>
        <source>| Fixe au premier plan (Ctrl T)</source>
        <translation>| Keeps on top (Ctrl T)</translation>
    </message>
    <message>
        <source> Réglages </source>
        <translation> Settings </translation>
    </message>
    <message>
        <source>| Options du programme (Ctrl E)</source>
        <translation>| Program options (Ctrl E)</translation>
    </message>
    <message>
        <source>| Charge une palette personnalisée (Ctrl O)</source>
        <translation>| Loads a custom palette (Ctrl O)</translation>
    </message>
    <message>
        <source>| Sauvegarde la palette personnalisée (Ctrl S)</source>
        <translation>| Saves the custom palette (Ctrl S)</translation>
    </message>
    <message>
        <source>| Zone d&apos;exemple</source>
        <translation>| Sample area</translation>
    </message>
    <message>
        <source>| Affiche la palette de couleurs (Ctrl P)</source>
        <translation>| Shows the colour palette (Ctrl P)</translation>
    </message>
    <message>
        <source>| Active la pipette (Ctrl I, molette : carré)</source>
        <translation>| Starts the pipette (Ctrl I, wheel: square)</translation>
    </message>
    <message>
        <source>| Affiche l&apos;aide du programme (Ctrl A)</source>
        <translation>| Shows the program help (Ctrl A)</translation>
    </message>
    <message>
        <source>| Importe la couleur Presse-papiers (Ctrl V)</source>
        <translation>| Imports the clipboard colour (Ctrl V)</translation>
    </message>
    <message>
        <source>| Approche avec valeurs Netscape (Ctrl N)</source>
        <translation>| Rounds to Netscape values (Ctrl N)</translation>
    </message>
    <message>
        <source>| Règle le rouge</source>
        <translation>| Sets the red</translation>
    </message>
    <message>
        <source>| Règle le vert</source>
        <translation>| Sets the green</translation>
    </message>
    <message>
        <source>| Règle le bleu</source>
        <translation>| Sets the blue</translation>
    </message>
    <message>
        <source> Exportation </source>
        <translation> Export </translation>
    </message>
    <message>
        <source>| Copie la couleur selon le format (Ctrl C)</source>
        <translation>| Copies the colour in the format (Ctrl C)</translation>
    </message>
    <message>
        <source>Copie valeur seule</source>
        <translation>Copy value only</translation>
    </message>
    <message>
        <source>| Extrait la valeur seule (code) (Ctrl L)</source>
        <translation>| Takes the value alone (code) (Ctrl L)</translation>
    </message>
    <message>
        <source>Format de copie :</source>
        <translation>Copy format:</translation>
    </message>
    <message>
        <source>| Sélectionne le format HEXA</source>
        <translation>| Selects the HEXA format</translation>
    </message>
    <message>
        <source>| Sélectionne le format HTML</source>
        <translation>| Selects the HTML format</translation>
    </message>
    <message>
        <source>| Sélectionne le format RGB</source>
        <translation>| Selects the RGB format</translation>
    </message>
    <message>
        <source> Pipette indisponible : souris prise</source>
        <translation> Pipette unavailable: mouse taken</translation>
    </message>
    <message>
        <source> Pipette active : carré de %1 × %1</source>
        <translation> Pipette active: %1 × %1 square</translation>
    </message>
    <message>
        <source> Pipette active : bougez la souris</source>
        <translation> Pipette active: move the mouse</translation>
    </message>
    <message>
        <source>Les réglages n&apos;ont pas pu être enregistrés</source>
        <translation>The settings could not be saved</translation>
    </message>
    <message>
        <source>Les réglages n&apos;ont pas pu être enregistrés dans %1</source>
        <translation>The settings could not be saved in %1</translation>
    </message>
    <message>
        <source>%1 : %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Couleur personnalisée %1</source>
        <translation>Custom colour %1</translation>
    </message>
    <message>
        <source>Pipette</source>
        <translation>Pipette</translation>
    </message>
    <message>
        <source>| Couleurs personnalisées (Alt ← →, Alt Entrée)</source>
        <translation>| Custom colours (Alt ← →, Alt Enter)</translation>
    </message>
    <message>
        <source>| Ajoute aux couleurs personnalisées (Alt +)</source>
        <translation>| Adds to the custom colours (Alt +)</translation>
    </message>
    <message>
        <source>| Retire des couleurs personnalisées (Alt -)</source>
        <translation>| Removes from the custom colours (Alt -)</translation>
    </message>
</context>
<context>
    <name>jov::TNumberField</name>
    <message>
        <source>Augmenter</source>
        <translation>Increase</translation>
    </message>
    <message>
        <source>Diminuer</source>
        <translation>Decrease</translation>
    </message>
</context>
<context>
    <name>jov::TOptions</name>
    <message>
        <source>Sauvegarder et restaurer automatiquement l&apos;emplacement du programme</source>
        <translation>Save and restore the program&apos;s place automatically</translation>
    </message>
    <message>
        <source>| Retrouve la fenêtre à la même place au prochain lancement</source>
        <translation>| Finds the window at the same place at the next start</translation>
    </message>
    <message>
        <source>Sauvegarder et restaurer les dossiers des dernières palettes utilisées</source>
        <translation>Save and restore the folders of the last palettes used</translation>
    </message>
    <message>
        <source>| Mémorise les dossiers d&apos;ouverture et d&apos;enregistrement des palettes</source>
        <translation>| Remembers the folders where palettes are opened and saved</translation>
    </message>
    <message>
        <source>Sauvegarder et restaurer la palette utilisée (sinon boutons personnalisés)</source>
        <translation>Save and restore the palette in use (else the custom buttons)</translation>
    </message>
    <message>
        <source>| Recharge au démarrage la dernière palette utilisée</source>
        <translation>| Reloads the last palette used at start</translation>
    </message>
    <message>
        <source>Proposer la sauvegarde des palettes au chargement et à la fermeture</source>
        <translation>Offer to save palettes when loading another and when closing</translation>
    </message>
    <message>
        <source>| Demande s&apos;il faut enregistrer une palette modifiée avant de la quitter</source>
        <translation>| Asks whether to save a modified palette before leaving it</translation>
    </message>
    <message>
        <source>Modifier le nom (SansNom) de la palette lors du Ctrl + ou du Ctrl -</source>
        <translation>Change the palette&apos;s name (SansNom) on Ctrl + or Ctrl -</translation>
    </message>
    <message>
        <source>| Renomme la palette en SansNom après un ajout ou un retrait avec Ctrl</source>
        <translation>| Renames the palette SansNom after adding or removing with Ctrl</translation>
    </message>
    <message>
        <source>Mettre à jour le modèle par simple clic sur boutons personnalisés</source>
        <translation>Update the sample with a single click on the custom buttons</translation>
    </message>
    <message>
        <source>| Applique la couleur d&apos;un bouton personnalisé dès le premier clic</source>
        <translation>| Applies a custom button&apos;s colour at the first click</translation>
    </message>
    <message>
        <source>Supprimer la couleur des boutons à partir du bouton sélectionné</source>
        <translation>Clear the buttons&apos; colours from the selected button on</translation>
    </message>
    <message>
        <source>| Efface les couleurs à partir du bouton sélectionné seulement</source>
        <translation>| Clears the colours from the selected button on only</translation>
    </message>
    <message>
        <source>Commencer le dégradé des boutons à partir du bouton sélectionné</source>
        <translation>Start the buttons&apos; gradient from the selected button</translation>
    </message>
    <message>
        <source>| Fait partir le dégradé du bouton sélectionné</source>
        <translation>| Starts the gradient at the selected button</translation>
    </message>
    <message>
        <source>Afficher la loupe pendant la pipette</source>
        <translation>Show the magnifier while picking</translation>
    </message>
    <message>
        <source>| Montre les pixels autour du pointeur pendant la pipette</source>
        <translation>| Shows the pixels around the pointer while picking</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>| Accepte toutes les options</source>
        <translation>| Accepts all the options</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>| Annule toutes les modifications</source>
        <translation>| Cancels all the changes</translation>
    </message>
    <message>
        <source>Régler le pas du dégradé sur la valeur indiquée (défaut = 16) :</source>
        <translation>Set the gradient step to the value given (default = 16):</translation>
    </message>
    <message>
        <source>| Nombre de pas du dégradé automatique, de 1 à 64</source>
        <translation>| Number of steps of the automatic gradient, from 1 to 64</translation>
    </message>
    <message>
        <source>A propos</source>
        <translation>About</translation>
    </message>
    <message>
        <source>| Affiche les informations du logiciel (Ctrl A)</source>
        <translation>| Shows information about the program (Ctrl A)</translation>
    </message>
</context>
<context>
    <name>jov::TPipette</name>
    <message>
        <source> Le portail prélève un seul pixel</source>
        <translation> The portal picks one pixel only</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>jov : impossible d&apos;ouvrir l&apos;affichage %1
</source>
        <translation>jov: cannot open display %1
</translation>
    </message>
    <message>
        <source>jov : aucun affichage : ni DISPLAY, ni WAYLAND_DISPLAY, ni -display ne nomme un écran où s&apos;ouvrir
</source>
        <translation>jov: no display: neither DISPLAY nor WAYLAND_DISPLAY nor -display names a screen to open on
</translation>
    </message>
    <message>
        <source>jov : %1
</source>
        <translation>jov: %1
</translation>
    </message>
</context>
</TS>
